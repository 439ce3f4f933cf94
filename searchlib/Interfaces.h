#pragma once

// The host's IPv4 interfaces that can carry discovery multicast.

#include <netinet/in.h>
#include <string>
#include <vector>

namespace scanix::proto {

struct Interface
{
    std::string name;
    int index = 0;
    in_addr address{}; // the first IPv4 address, for logs only: sockets use the index
};

// Up, multicast-capable interfaces with an IPv4 address, one entry per interface. When `only`
// is not empty it is a list of interface names separated by commas or spaces, and every
// other interface is left out.
std::vector<Interface> ListMulticastInterfaces(const std::string& only);

} // namespace scanix::proto
