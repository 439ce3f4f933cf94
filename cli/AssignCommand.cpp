// assign: new devices that arrive with one factory address get the free addresses of a range.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "DeviceView.h"
#include "ExitCode.h"
#include "Listing.h"
#include "NetworkChange.h"
#include "SafeText.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <iostream>
#include <set>
#include <thread>

namespace {

// Larger ranges are refused: a commissioning range is one segment, not a continent.
constexpr std::uint32_t kMaxRange = 65536;

std::string ArgumentProblem(const AssignOptions& o)
{
    for (const auto& [what, text, optional] : {std::tuple<std::string, std::string, bool>{"--from", o.from, false},
                                               {"--to", o.to, false},
                                               {"--mask", o.mask, true},
                                               {"--gateway", o.gateway, true},
                                               {"--only-ip", o.onlyIp, true}}) {
        if (!(optional && text.empty())) {
            const std::string problem = Ipv4Problem(what, text);
            if (!problem.empty()) {
                return problem;
            }
        }
    }
    const std::uint32_t from = ntohl(*ParseIpv4(o.from)), to = ntohl(*ParseIpv4(o.to));
    if (from > to) {
        return "--from " + o.from + " comes after --to " + o.to;
    }
    if (to - from >= kMaxRange) {
        return "the range " + o.from + " - " + o.to + " is larger than 65536 addresses";
    }
    if (!o.type.empty() && !DeviceTypeKey(o.type)) {
        return "--type \"" + EchoText(o.type) +
               "\" is not a device type (IPC, NVR, DVR, MDVR, STORAGE, DECODER, NETKEYBOARD)";
    }
    return "";
}

std::vector<DEVICE_INFO> MatchingDevices(const std::vector<DEVICE_INFO>& devices, const AssignOptions& o)
{
    const std::string key = o.type.empty() ? "" : *DeviceTypeKey(o.type);
    std::vector<DEVICE_INFO> matching;
    for (const DEVICE_INFO& d : devices) {
        if ((key.empty() || key == d.productSeries) && (o.onlyIp.empty() || o.onlyIp == d.ipAddr)) {
            matching.push_back(d);
        }
    }
    std::sort(matching.begin(), matching.end(), [](const DEVICE_INFO& a, const DEVICE_INFO& b) {
        return std::strcmp(a.mac, b.mac) < 0;
    });
    return matching;
}

// The plan: each device the next address that no found device uses and that the rules accept
// as a host address with its mask. Returns the problem when the plan cannot be made.
std::string MakePlan(const std::vector<DEVICE_INFO>& all,
                     const std::vector<DEVICE_INFO>& matching,
                     const AssignOptions& o,
                     std::vector<PlannedChange>& plan)
{
    std::set<std::uint32_t> used;
    for (const DEVICE_INFO& d : all) {
        if (const auto ip = ParseIpv4(d.ipAddr)) {
            used.insert(ntohl(*ip));
        }
    }
    std::uint32_t next = ntohl(*ParseIpv4(o.from));
    const std::uint32_t last = ntohl(*ParseIpv4(o.to));
    for (const DEVICE_INFO& d : matching) {
        ChangeRequest request{
            d.mac, "", o.mask.empty() ? d.mask : o.mask, o.gateway.empty() ? d.route : o.gateway, "", "", ""};
        int rule = 0;
        for (; next <= last && next != 0; ++next) {
            if (used.count(next) != 0) {
                continue;
            }
            request.ip = Ipv4Text(htonl(next));
            rule = CheckAddresses(request.ip, request.mask, request.gateway);
            // A network or broadcast address of the segment is skipped, not an error.
            if (rule != 1 && rule != 2) {
                break;
            }
        }
        if (next > last || next == 0) {
            return "the range " + o.from + " - " + o.to + " has too few free addresses for the " +
                   std::to_string(matching.size()) + " matching devices";
        }
        if (rule != 0) {
            return std::string(d.mac) + " -> " + request.ip + " mask " + request.mask + " gateway " + request.gateway +
                   ": " + RuleMessage(rule);
        }
        used.insert(next++);
        plan.push_back({0, request});
    }
    return "";
}

void PrintPlan(const std::vector<DEVICE_INFO>& matching, const std::vector<PlannedChange>& plan)
{
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const ChangeRequest& r = plan[i].request;
        rows.push_back({r.mac, DeviceTypeName(matching[i].productSeries), matching[i].ipAddr, r.ip, r.mask, r.gateway});
    }
    PrintTable(std::cout, {"MAC", "TYPE", "OLD IP", "NEW IP", "MASK", "GATEWAY"}, rows);
    std::cout.flush();
}

} // namespace

int RunAssign(const GlobalOptions& global, const AssignOptions& options)
{
    const std::string problem = ArgumentProblem(options);
    if (!problem.empty()) {
        Message(problem);
        return EXIT_USAGE;
    }
    SearchSession session(global.interfaces);
    session.SearchOnce();
    // Every answer counts: an address in use by any device must not be handed out.
    std::this_thread::sleep_until(DeadlineIn(options.seconds));
    const std::vector<DEVICE_INFO> all = session.Manager().Devices();
    const std::vector<DEVICE_INFO> matching = MatchingDevices(all, options);
    if (matching.empty()) {
        Message("no device found that matches --type / --only-ip");
        return EXIT_NOT_FOUND;
    }
    std::vector<PlannedChange> plan;
    const std::string planProblem = MakePlan(all, matching, options, plan);
    if (!planProblem.empty()) {
        Message(planProblem + "; nothing was changed");
        return EXIT_RULE_CHECK;
    }
    PrintPlan(matching, plan);
    if (options.dryRun) {
        Message("--dry-run: nothing was changed");
        return EXIT_OK;
    }
    if (!FillPasswords(plan, options.passwordStdin)) {
        return EXIT_USAGE;
    }
    return ApplyPlan(session, plan, options.seconds, options.format);
}
