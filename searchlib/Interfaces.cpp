#include "Interfaces.h"

#include <algorithm>
#include <ifaddrs.h>
#include <net/if.h>
#include <sstream>

namespace scanix::proto {

namespace {

std::vector<std::string> SplitNames(const std::string& list)
{
    std::string spaced = list;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::istringstream in(spaced);
    std::vector<std::string> names;
    for (std::string name; in >> name;) {
        names.push_back(name);
    }
    return names;
}

} // namespace

std::vector<Interface> ListMulticastInterfaces(const std::string& only)
{
    const std::vector<std::string> wanted = SplitNames(only);
    std::vector<Interface> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return result;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_MULTICAST) == 0) {
            continue;
        }
        const std::string name = entry->ifa_name;
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), name) == wanted.end()) {
            continue;
        }
        const bool known =
            std::any_of(result.begin(), result.end(), [&](const Interface& i) { return i.name == name; });
        const unsigned index = if_nametoindex(entry->ifa_name);
        if (known || index == 0) {
            continue;
        }
        Interface item;
        item.name = name;
        item.index = static_cast<int>(index);
        item.address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr;
        result.push_back(item);
    }
    freeifaddrs(list);
    return result;
}

} // namespace scanix::proto
