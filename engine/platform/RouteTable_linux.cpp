#include "RouteTable.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::uint32_t Hex(const std::string& text)
{
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
}

} // namespace

// Each line reads "Iface Destination Gateway Flags RefCnt Use Metric Mask ...", addresses and
// flags in hexadecimal, after one line of headings.
std::vector<RouteEntry> ReadRouteTable(const std::string& path)
{
    std::vector<RouteEntry> routes;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string iface, dest, gateway, flags, refCnt, use, metric, mask;
        if (!(fields >> iface >> dest >> gateway >> flags >> refCnt >> use >> metric >> mask)) {
            continue;
        }
        RouteEntry route;
        route.iface = iface;
        route.destination = Hex(dest);
        route.gateway = Hex(gateway);
        route.mask = Hex(mask);
        route.flags = std::strtoul(flags.c_str(), nullptr, 16);
        route.metric = std::strtoul(metric.c_str(), nullptr, 10);
        routes.push_back(std::move(route));
    }
    return routes;
}
