#include "SocketsLayer.h"

#include <winsock2.h>

bool CSocketsLayer::Start()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void CSocketsLayer::Stop()
{
    WSACleanup();
}
