// doctor: why devices may not be found, one finding a line with a plain advice.
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "Firewall.h"
#include "HostNetwork.h"
#include "Interfaces.h"
#include "LinkLocalRoute.h"
#include "ProtocolConstants.h"
#include "SafeText.h"
#include "SearchSession.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <ifaddrs.h>
#include <iostream>
#include <net/if.h>
#include <thread>

namespace {

enum class Level
{
    Ok,
    Note,
    Problem
};

class Report
{
public:
    void Add(Level level, const std::string& text)
    {
        static const char* const tags[] = {"ok     ", "note   ", "PROBLEM"};
        static const int colours[] = {32, 33, 31};
        std::cout << Coloured(tags[static_cast<int>(level)], colours[static_cast<int>(level)]) << "  " << text << '\n';
        std::cout.flush();
        m_problems += level == Level::Problem ? 1 : 0;
    }
    int Problems() const
    {
        return m_problems;
    }

private:
    int m_problems = 0;
};

struct HostInterface
{
    std::string name, address;
    int prefix = 0;
    bool up = false, multicast = false, loopback = false, chosen = false;
};

int PrefixOf(const sockaddr* mask)
{
    if (mask == nullptr || mask->sa_family != AF_INET) {
        return 0;
    }
    return __builtin_popcount(reinterpret_cast<const sockaddr_in*>(mask)->sin_addr.s_addr);
}

std::vector<HostInterface> HostInterfaces(const std::string& only)
{
    std::vector<HostInterface> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return result;
    }
    const std::vector<scanix::proto::Interface> chosen = scanix::proto::ListMulticastInterfaces(only);
    for (const ifaddrs* e = list; e != nullptr; e = e->ifa_next) {
        if (e->ifa_addr == nullptr || e->ifa_addr->sa_family != AF_INET ||
            std::any_of(result.begin(), result.end(), [&](const HostInterface& h) { return h.name == e->ifa_name; })) {
            continue;
        }
        HostInterface h;
        h.name = e->ifa_name;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(e->ifa_addr)->sin_addr, text, sizeof text);
        h.address = text;
        h.prefix = PrefixOf(e->ifa_netmask);
        h.up = (e->ifa_flags & IFF_UP) != 0;
        h.multicast = (e->ifa_flags & IFF_MULTICAST) != 0;
        h.loopback = (e->ifa_flags & IFF_LOOPBACK) != 0;
        h.chosen = std::any_of(chosen.begin(), chosen.end(), [&](const auto& c) { return c.name == h.name; });
        result.push_back(h);
    }
    freeifaddrs(list);
    return result;
}

void ReportInterface(Report& report, const HostInterface& h, const std::string& only)
{
    const std::string head = "interface " + h.name + " " + h.address + "/" + std::to_string(h.prefix) + ": " +
                             (h.up ? "up" : "down") + ", " + (h.multicast ? "multicast" : "no multicast");
    if (h.chosen) {
        report.Add(Level::Ok, head + "; searched");
    } else if (h.loopback) {
        report.Add(Level::Ok, head + "; not searched (loopback: no devices there)");
    } else if (!only.empty()) {
        report.Add(Level::Note, head + "; not searched: not named in --iface " + EchoText(only));
    } else if (!h.up) {
        report.Add(Level::Note, head + "; not searched: the interface is down (bring it up if devices are on it)");
    } else {
        report.Add(Level::Problem, head + "; not searched: it cannot send multicast (enable multicast on it)");
    }
}

int ReadSetting(const std::string& path)
{
    std::ifstream in(path);
    int value = -1;
    in >> value;
    return value;
}

void ReportReversePath(Report& report, const HostInterface& h)
{
    // The kernel applies the larger of the "all" and the interface's own value.
    const int all = ReadSetting("/proc/sys/net/ipv4/conf/all/rp_filter");
    const int own = ReadSetting("/proc/sys/net/ipv4/conf/" + h.name + "/rp_filter");
    const int effective = std::max(all, own);
    const std::string head = "reverse-path filtering on " + h.name + ": rp_filter=" + std::to_string(effective);
    if (effective == 1) {
        report.Add(Level::Problem,
                   head +
                       " (strict): answers from devices in other subnets are dropped silently; set "
                       "net.ipv4.conf.all.rp_filter and net.ipv4.conf." +
                       h.name + ".rp_filter to 2 (loose)");
    } else if (effective < 0) {
        report.Add(Level::Note, head.substr(0, head.find(':')) + ": the setting could not be read");
    } else {
        report.Add(Level::Ok, head + (effective == 2 ? " (loose)" : " (off)"));
    }
}

void ReportFirewall(Report& report)
{
    const int port = scanix::proto::kSearcherPort;
    const FirewallFinding finding = CheckFirewall(port);
    const std::string head = "firewall, UDP port " + std::to_string(port) + " (device answers): ";
    if (finding.state == FirewallFinding::State::Dropped) {
        report.Add(Level::Problem,
                   head + finding.detail + "; accept UDP port " + std::to_string(port) + " in the input rules");
    } else if (finding.state == FirewallFinding::State::Open) {
        report.Add(Level::Ok, head + "not dropped by the rules");
    } else {
        report.Add(Level::Note, head + "not checked: " + finding.detail);
    }
}

// The window adds this route when it may; a normal user is told how to add it once.
void ReportLinkLocalRoute(Report& report)
{
    const std::string head = "link-local route 169.254.0.0/16: ";
    const std::string present = LinkLocalRoute::FindInTable("/proc/net/route");
    if (!present.empty()) {
        report.Add(Level::Ok, head + "present on " + LinkLocalRoute::ShellWord(present));
        return;
    }
    std::string ip, mask, gateway, dns;
    ReadHostNetwork(ip, mask, gateway, dns);
    const std::string iface = LinkLocalRoute::InterfaceHolding(ip);
    if (iface.empty()) {
        report.Add(Level::Note, head + "missing, and no interface holds the host's address");
        return;
    }
    report.Add(Level::Note,
               head + "missing: devices that answer only on a 169.254.x.x address cannot be reached; add it with: " +
                   LinkLocalRoute::AddCommandFor(iface));
}

void ReportLiveSearch(Report& report, const std::vector<HostInterface>& interfaces, double seconds)
{
    std::vector<std::string> chosen;
    for (const HostInterface& h : interfaces) {
        if (h.chosen) {
            chosen.push_back(h.name);
        }
    }
    if (chosen.empty()) {
        report.Add(Level::Problem, "no interface to search on: connect the PC to the devices' network");
        return;
    }
    // One search per interface, so each answer is counted where it arrived.
    const double each = std::max(1.5, seconds / static_cast<double>(chosen.size()));
    for (const std::string& name : chosen) {
        SearchSession session(name);
        session.SearchOnce();
        std::this_thread::sleep_until(DeadlineIn(each));
        const std::size_t count = session.Manager().Devices().size();
        if (count == 0) {
            report.Add(Level::Problem,
                       "search on " + name +
                           ": no device answered; check the cabling or VLAN, "
                           "and the findings above");
        } else {
            report.Add(Level::Ok, "search on " + name + ": " + std::to_string(count) + " devices answered");
        }
    }
}

} // namespace

int RunDoctor(const GlobalOptions& global, const DoctorOptions& options)
{
    Report report;
    const std::vector<HostInterface> interfaces = HostInterfaces(global.interfaces);
    for (const HostInterface& h : interfaces) {
        ReportInterface(report, h, global.interfaces);
    }
    for (const HostInterface& h : interfaces) {
        if (h.chosen) {
            ReportReversePath(report, h);
        }
    }
    ReportFirewall(report);
    ReportLinkLocalRoute(report);
    ReportLiveSearch(report, interfaces, options.seconds);
    Message(report.Problems() == 0 ? "no problem found" : std::to_string(report.Problems()) + " problems found");
    return report.Problems() == 0 ? EXIT_OK : EXIT_FAILURE_OTHER;
}
