#include "LinkLocalRoute.h"
#include "RouteTable.h"
#include "SpawnDetached.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ifaddrs.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::uint32_t kLinkLocalNet = 0xA9FE0000u; // 169.254.0.0, host order
constexpr std::uint32_t kLinkLocalMask = 0xFFFF0000u;
constexpr const char* kLinkLocalPrefix = "169.254.0.0/16";
constexpr int kCapNetAdmin = 12;
// The route tool answers in milliseconds; a hung one must not hold up the start.
constexpr int kToolTimeoutMs = 3000;

const char* FindRouteTool()
{
    for (const char* path : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}) {
        if (access(path, X_OK) == 0) {
            return path;
        }
    }
    return nullptr;
}

} // namespace

LinkLocalRoute::LinkLocalRoute(std::string routeTable)
    : m_routeTable(std::move(routeTable))
{}

LinkLocalRoute::~LinkLocalRoute()
{
    Remove();
}

LinkLocalRoute::State LinkLocalRoute::Ensure(const std::string& ip)
{
    Remove();
    m_interface = InterfaceHolding(ip);
    if (m_interface.empty()) {
        m_state = State::NoInterface;
        return m_state;
    }
    const std::string existing = FindInTable(m_routeTable);
    if (!existing.empty()) {
        m_interface = existing;
        m_state = State::Present;
        return m_state;
    }
    m_source = ip;
    // Without the right the tool would only fail: a normal user is told the command instead.
    if (MayChangeRoutes() && RunRouteTool("add")) {
        m_state = State::Added;
        return m_state;
    }
    // Another program may have added it meanwhile.
    m_state = FindInTable(m_routeTable).empty() ? State::Missing : State::Present;
    return m_state;
}

void LinkLocalRoute::Remove()
{
    if (m_state == State::Added) {
        RunRouteTool("del");
    }
    m_state = State::Unknown;
}

LinkLocalRoute::State LinkLocalRoute::GetState() const
{
    return m_state;
}

const std::string& LinkLocalRoute::Interface() const
{
    return m_interface;
}

std::string LinkLocalRoute::AddCommand() const
{
    return AddCommandFor(m_interface);
}

std::string LinkLocalRoute::AddCommandFor(const std::string& iface)
{
    return std::string("sudo ip route add ") + kLinkLocalPrefix + " dev " + ShellWord(iface);
}

bool LinkLocalRoute::RunRouteTool(const char* verb) const
{
    const char* tool = FindRouteTool();
    if (tool == nullptr) {
        return false;
    }
    // Link-local devices are on the wire itself: the route goes out of the interface that
    // holds the host's address, with that address as the source.
    return RunTool({tool, "route", verb, kLinkLocalPrefix, "dev", m_interface, "scope", "link", "src", m_source},
                   kToolTimeoutMs) == 0;
}

// A direct (gateway-less) route that is up and whose prefix holds all of 169.254.0.0/16;
// the default route does not count, as it leads to a router, not onto the wire.
std::string LinkLocalRoute::FindInTable(const std::string& path)
{
    for (const RouteEntry& route : ReadRouteTable(path)) {
        const std::uint32_t destination = ntohl(route.destination);
        const std::uint32_t netmask = ntohl(route.mask);
        if ((route.flags & kRouteUp) != 0 && (route.flags & kRouteGateway) == 0 && netmask != 0 &&
            (netmask & kLinkLocalMask) == netmask && (kLinkLocalNet & netmask) == destination) {
            return route.iface;
        }
    }
    return {};
}

std::string LinkLocalRoute::InterfaceHolding(const std::string& ip)
{
    in_addr wanted{};
    if (inet_pton(AF_INET, ip.c_str(), &wanted) != 1) {
        return {};
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(list, freeifaddrs);
    for (const ifaddrs* e = list; e != nullptr; e = e->ifa_next) {
        if (e->ifa_addr != nullptr && e->ifa_addr->sa_family == AF_INET &&
            reinterpret_cast<const sockaddr_in*>(e->ifa_addr)->sin_addr.s_addr == wanted.s_addr) {
            return e->ifa_name;
        }
    }
    return {};
}

bool LinkLocalRoute::MayChangeRoutes()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("CapEff:", 0) == 0) {
            const unsigned long long caps = std::strtoull(line.c_str() + 7, nullptr, 16);
            return ((caps >> kCapNetAdmin) & 1u) != 0;
        }
    }
    return false;
}

// Interface names may hold any byte but '/', ':' and blanks: quote what a shell would read.
std::string LinkLocalRoute::ShellWord(const std::string& word)
{
    bool plain = !word.empty();
    bool printable = true;
    for (unsigned char c : word) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                          c == '_' || c == '-' || c == '@' || c == '+';
        plain = plain && safe;
        printable = printable && c >= 0x20 && c < 0x7F;
    }
    if (plain) {
        return word;
    }
    if (printable) {
        std::string quoted = "'";
        for (char c : word) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted + "'";
    }
    // Control bytes must never reach a terminal or a label as they are.
    std::string escaped = "$'";
    for (unsigned char c : word) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        escaped += hex;
    }
    return escaped + "'";
}
