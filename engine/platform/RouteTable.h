#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One IPv4 route of the kernel's table. Addresses keep the table's in-memory (network-order)
// value, as inet_ntop and in_addr take it.
struct RouteEntry
{
    std::string iface;
    std::uint32_t destination = 0;
    std::uint32_t gateway = 0;
    std::uint32_t mask = 0;
    unsigned long flags = 0;
    unsigned long metric = 0;
};

constexpr unsigned long kRouteUp = 0x1;      // RTF_UP
constexpr unsigned long kRouteGateway = 0x2; // RTF_GATEWAY: the route leads to a router

// The routes of a table in the kernel's text format (/proc/net/route); lines that do not read
// are skipped, a missing file gives none.
std::vector<RouteEntry> ReadRouteTable(const std::string& path);
