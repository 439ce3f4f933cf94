#include "BatchPlan.h"

#include "Addressing.h"
#include "Csv.h"
#include "Messages.h"
#include "SafeText.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <iterator>
#include <set>

namespace {

const char* const kColumns[] = {"mac", "ip", "mask", "gateway", "password"};

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Maps column names to positions: from a header row when the first row names "mac", else the
// fixed order mac, ip, mask, gateway and an optional password.
std::map<std::string, std::size_t> ColumnsOf(const CsvRow& first, bool& header, std::string& error)
{
    std::map<std::string, std::size_t> columns;
    header = !first.fields.empty() && Lower(Trim(first.fields[0])) == "mac";
    if (!header) {
        for (std::size_t i = 0; i < 5; ++i) {
            columns[kColumns[i]] = i;
        }
        return columns;
    }
    for (std::size_t i = 0; i < first.fields.size(); ++i) {
        const std::string name = Lower(Trim(first.fields[i]));
        if (std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns) || columns.count(name)) {
            error = "header column \"" + EchoText(first.fields[i]) +
                    "\" is unknown or repeated (use mac,ip,mask,gateway[,password])";
            return {};
        }
        columns[name] = i;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        if (!columns.count(kColumns[i])) {
            error = std::string("the header lacks the column \"") + kColumns[i] + "\"";
            return {};
        }
    }
    return columns;
}

// Reads one row into a planned change; a problem is returned instead when it cannot be used.
std::optional<PlanProblem>
ReadRow(const CsvRow& row, const std::map<std::string, std::size_t>& columns, bool header, PlannedChange& change)
{
    const std::size_t wanted = header ? columns.size() : 4;
    if (row.fields.size() != wanted && !(!header && row.fields.size() == 5)) {
        return PlanProblem{row.line,
                           std::to_string(row.fields.size()) + " fields, expected " + std::to_string(wanted) +
                               (header ? "" : " (mac,ip,mask,gateway[,password])"),
                           true};
    }
    const auto field = [&](const char* name) {
        const auto at = columns.find(name);
        return at != columns.end() && at->second < row.fields.size() ? Trim(row.fields[at->second]) : std::string();
    };
    const std::optional<std::string> mac = NormaliseMac(field("mac"));
    if (!mac) {
        return PlanProblem{row.line, "\"" + EchoText(field("mac")) + "\" is not a MAC address", true};
    }
    change.line = row.line;
    change.request = {*mac, field("ip"), field("mask"), field("gateway"), "", "", field("password")};
    for (const auto& [what, text] : {std::pair<std::string, std::string>{"ip", change.request.ip},
                                     {"mask", change.request.mask},
                                     {"gateway", change.request.gateway}}) {
        const std::string problem = Ipv4Problem(what, text);
        if (!problem.empty()) {
            return PlanProblem{row.line, problem, true};
        }
    }
    const int rule = CheckAddresses(change.request.ip, change.request.mask, change.request.gateway);
    if (rule != 0) {
        return PlanProblem{row.line, RuleMessage(rule), false};
    }
    return std::nullopt;
}

} // namespace

AddressPlan PlanAddresses(const std::vector<PlanDevice>& devices,
                          const std::string& start,
                          const std::string& mask,
                          const std::string& gateway,
                          const HeldAddresses& held)
{
    AddressPlan plan;
    const std::uint32_t first = ntohl(ParseIpv4(start).value_or(0));
    const std::uint32_t netmask = ntohl(ParseIpv4(mask).value_or(0xFFFFFFFFu));
    std::uint32_t next = first;
    for (const PlanDevice& device : devices) {
        PlanRow row{device, "", mask, gateway, "", 0};
        bool placed = false;
        // Only the segment of the start address is used: beyond it the gateway is unreachable.
        for (; (next & netmask) == (first & netmask) && next >= first; ++next) {
            row.ip = Ipv4Text(htonl(next));
            const auto holder = held.find(next);
            if (holder != held.end()) {
                plan.rows.push_back({PlanDevice{}, row.ip, mask, gateway, holder->second, 0});
                continue;
            }
            row.rule = CheckAddresses(row.ip, mask, gateway);
            // A network or broadcast address of the segment is passed over, not an error.
            if (row.rule == 1 || row.rule == 2) {
                continue;
            }
            placed = true;
            ++next;
            break;
        }
        if (!placed) {
            plan.problem = "the segment of " + start + " has too few free addresses for the " +
                           std::to_string(devices.size()) + " devices";
            return plan;
        }
        if (row.rule != 0 && plan.problem.empty()) {
            plan.problem = device.mac + " -> " + row.ip + ": " + RuleMessage(row.rule);
        }
        plan.rows.push_back(row);
    }
    return plan;
}

std::string PlanCsv(const AddressPlan& plan)
{
    std::string text = CsvLine({"mac", "ip", "mask", "gateway"});
    for (const PlanRow& row : plan.rows) {
        if (!row.skipped()) {
            text += CsvLine({row.device.mac, row.ip, row.mask, row.gateway});
        }
    }
    return text;
}

std::vector<PlanProblem> ReadChangeList(const CsvResult& csv, std::vector<PlannedChange>& changes)
{
    if (csv.rows.empty()) {
        return {{1, "no rows (the list is empty)", true}};
    }
    std::vector<PlanProblem> problems;
    bool header = false;
    std::string error;
    const auto columns = ColumnsOf(csv.rows.front(), header, error);
    if (!error.empty()) {
        return {{1, error, true}};
    }
    std::map<std::string, int> macLines, ipLines;
    for (std::size_t i = header ? 1 : 0; i < csv.rows.size(); ++i) {
        PlannedChange change;
        if (const auto problem = ReadRow(csv.rows[i], columns, header, change)) {
            problems.push_back(*problem);
            continue;
        }
        const auto mac = macLines.emplace(change.request.mac, change.line);
        const auto ip = ipLines.emplace(change.request.ip, change.line);
        if (!mac.second) {
            problems.push_back(
                {change.line,
                 "MAC " + change.request.mac + " is already listed on line " + std::to_string(mac.first->second),
                 false});
        } else if (!ip.second) {
            problems.push_back(
                {change.line,
                 "address " + change.request.ip + " is already given on line " + std::to_string(ip.first->second),
                 false});
        } else {
            changes.push_back(change);
        }
    }
    if (changes.empty() && problems.empty()) {
        problems.push_back({1, "no rows to apply (only a header)", true});
    }
    return problems;
}
