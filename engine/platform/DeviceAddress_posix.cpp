#include "DeviceAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::vector<HostAddress> HostAddresses()
{
    std::vector<HostAddress> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        HostAddress address;
        address.address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr;
        if (entry->ifa_netmask != nullptr) {
            address.mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr;
        }
        address.interface = entry->ifa_name != nullptr ? entry->ifa_name : "";
        addresses.push_back(address);
    }
    freeifaddrs(list);
    return addresses;
}

bool IsOffHostAddress(std::uint32_t address)
{
    const std::uint32_t host = ntohl(address);
    if (host == INADDR_ANY || (host >> 24) == 127) {
        return false;
    }
    // The host's own list decides, not whether a bind succeeds: with ip_nonlocal_bind set the
    // kernel lets a socket bind to any address, and every device would look like this host.
    for (const HostAddress& own : HostAddresses()) {
        if (own.address == address) {
            return false;
        }
    }
    return true;
}
