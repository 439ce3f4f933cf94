#include "HostNetwork.h"
#include "RouteTable.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <sstream>

namespace {

struct DefaultRoute
{
    std::string iface;
    std::uint32_t gateway = 0;
};

std::string Dotted(std::uint32_t networkOrder)
{
    in_addr addr{};
    addr.s_addr = networkOrder;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, text, sizeof text);
    return text;
}

// The default route is the up route with destination and mask 0; the lowest metric wins.
bool FindDefaultRoute(const std::string& path, DefaultRoute& found)
{
    unsigned long bestMetric = ~0ul;
    bool any = false;
    for (const RouteEntry& route : ReadRouteTable(path)) {
        if (route.destination != 0 || route.mask != 0 || (route.flags & kRouteUp) == 0 ||
            (any && route.metric >= bestMetric)) {
            continue;
        }
        found.iface = route.iface;
        found.gateway = route.gateway;
        bestMetric = route.metric;
        any = true;
    }
    return any;
}

// First IPv4 "nameserver" of a resolver configuration, or empty.
std::string FirstNameServer(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key, value;
        in_addr addr{};
        if (fields >> key >> value && key == "nameserver" && inet_pton(AF_INET, value.c_str(), &addr) == 1) {
            return value;
        }
    }
    return {};
}

struct IfAddrsDeleter
{
    void operator()(ifaddrs* list) const
    {
        freeifaddrs(list);
    }
};
using IfAddrsList = std::unique_ptr<ifaddrs, IfAddrsDeleter>;

IfAddrsList ReadInterfaces()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return IfAddrsList();
    }
    return IfAddrsList(list);
}

std::uint32_t AddressOf(const sockaddr* sa)
{
    return reinterpret_cast<const sockaddr_in*>(sa)->sin_addr.s_addr;
}

bool IsIPv4(const ifaddrs* entry)
{
    return entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET && entry->ifa_netmask != nullptr;
}

} // namespace

void ReadHostNetwork(
    std::string& ip, std::string& mask, std::string& gateway, std::string& dns, const HostNetworkSources& sources)
{
    // The first adapter is the one that carries the default route, as that is the network
    // the user sees the host on; without a default route, the first interface that is up,
    // not loopback and holds an IPv4 address.
    DefaultRoute route;
    const bool haveRoute = FindDefaultRoute(sources.routeTable, route);
    IfAddrsList list = ReadInterfaces();
    const ifaddrs* chosen = nullptr;
    for (const ifaddrs* e = list.get(); e != nullptr && haveRoute; e = e->ifa_next) {
        if (IsIPv4(e) && route.iface == e->ifa_name) {
            chosen = e;
            break;
        }
    }
    for (const ifaddrs* e = list.get(); e != nullptr && chosen == nullptr; e = e->ifa_next) {
        if (IsIPv4(e) && (e->ifa_flags & IFF_UP) != 0 && (e->ifa_flags & IFF_LOOPBACK) == 0) {
            chosen = e;
        }
    }
    if (chosen != nullptr) {
        ip = Dotted(AddressOf(chosen->ifa_addr));
        mask = Dotted(AddressOf(chosen->ifa_netmask));
        if (haveRoute && route.iface == chosen->ifa_name) {
            gateway = Dotted(route.gateway);
        }
    }

    std::string server = FirstNameServer(sources.resolvConf);
    // A local stub resolver hides the real server; show its upstream when it names one.
    if (server == "127.0.0.53") {
        const std::string upstream = FirstNameServer(sources.stubUpstreamConf);
        if (!upstream.empty()) {
            server = upstream;
        }
    }
    if (!server.empty()) {
        dns = server;
    }
}
