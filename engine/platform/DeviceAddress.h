#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One IPv4 address this host holds, in network byte order, with its interface.
struct HostAddress
{
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
    std::string interface;
};

// Every IPv4 address of the host's interfaces that are up, loopback included.
std::vector<HostAddress> HostAddresses();

// Whether address (network byte order) may be a device's: false for 0.0.0.0, the loopback
// range and every address this host holds itself. A device that reports one of those would
// have the program send it the device's credentials, or open its page, on a local service.
bool IsOffHostAddress(std::uint32_t address);
