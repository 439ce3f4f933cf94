#include "DeviceAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

bool IsOffHostAddress(std::uint32_t address)
{
    const std::uint32_t host = ntohl(address);
    if (host == INADDR_ANY || (host >> 24) == 127) {
        return false;
    }
    // The kernel lets a socket bind only to an address that is local to this host, which
    // also covers addresses made local by a route rather than held by an interface.
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = address;
    const bool bound = bind(probe, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    close(probe);
    return !bound;
}
