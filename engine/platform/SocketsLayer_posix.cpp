#include "SocketsLayer.h"

// POSIX sockets need no process-wide start-up.
bool CSocketsLayer::Start()
{
    return true;
}

void CSocketsLayer::Stop()
{}
