#pragma once

#include <string>

// Where the host's routing table and resolver settings are read from; tests point these
// at files of their own.
struct HostNetworkSources
{
    std::string routeTable = "/proc/net/route";
    std::string resolvConf = "/etc/resolv.conf";
    // The upstream servers of a local stub resolver listening on 127.0.0.53.
    std::string stubUpstreamConf = "/run/systemd/resolve/resolv.conf";
};

// Fills the host's IPv4 address, mask, default gateway and first DNS server as dotted texts.
// A text that cannot be found is left as it was.
void ReadHostNetwork(std::string& ip,
                     std::string& mask,
                     std::string& gateway,
                     std::string& dns,
                     const HostNetworkSources& sources = HostNetworkSources());
