#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the local segment says about an IPv4 address (network byte order).
struct NeighbourAnswer
{
    std::uint32_t address = 0;
    // The hardware address that answered, "AA:BB:CC:DD:EE:FF"; empty when none did.
    std::string mac;
};

// Asks the kernel to resolve each address on its segment (one datagram to the discard port
// makes it send the ARP request; no privilege is needed) and reads the neighbour table until
// every address has an answer or timeoutMs have passed. Only addresses on a subnet of one of
// the host's interfaces should be given: any other would go to a router instead.
std::vector<NeighbourAnswer> ProbeNeighbours(const std::vector<std::uint32_t>& addresses, int timeoutMs);
