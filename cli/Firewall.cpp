#include "Firewall.h"

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

bool Covers(const json& right, int port)
{
    if (right.is_number_integer()) {
        return right.get<int>() == port;
    }
    if (right.is_object() && right.contains("range") && right["range"].is_array() && right["range"].size() == 2 &&
        right["range"][0].is_number_integer() && right["range"][1].is_number_integer()) {
        return right["range"][0].get<int>() <= port && port <= right["range"][1].get<int>();
    }
    if (right.is_object() && right.contains("set") && right["set"].is_array()) {
        for (const json& item : right["set"]) {
            if (Covers(item, port)) {
                return true;
            }
        }
    }
    return false;
}

bool IsPortMatch(const json& match)
{
    const json& left = match.value("left", json());
    const json payload = left.value("payload", json());
    return payload.is_object() && payload.value("field", "") == "dport" &&
           (payload.value("protocol", "") == "udp" || payload.value("protocol", "") == "th");
}

bool IsProtocolMatch(const json& match)
{
    const json& left = match.value("left", json());
    return left.contains("meta") || (left.contains("payload") && left["payload"].value("field", "") == "protocol");
}

// What the rule does to a datagram to the port: "accept", "drop", or "" when it may not apply
// (it matches on something else, such as a source address or connection state).
std::string RuleVerdict(const json& expressions, int port)
{
    bool coversPort = true;
    std::string verdict;
    for (const json& e : expressions) {
        if (e.contains("match")) {
            const json& match = e["match"];
            if (IsPortMatch(match)) {
                coversPort = coversPort && match.value("op", "==") == "==" && Covers(match["right"], port);
            } else if (!IsProtocolMatch(match)) {
                return "";
            }
        } else if (e.contains("accept")) {
            verdict = "accept";
        } else if (e.contains("drop") || e.contains("reject")) {
            verdict = "drop";
        }
    }
    return coversPort ? verdict : "";
}

std::string Run(const char* command)
{
    std::string output;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command, "r"), pclose);
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) {
        output.append(buffer, n);
    }
    return output;
}

bool Installed(const char* tool)
{
    for (const char* dir : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
        if (access((std::string(dir) + tool).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

FirewallFinding AnalyseNftRuleset(const std::string& text, int port)
{
    FirewallFinding finding;
    const json ruleset = json::parse(text, nullptr, false);
    if (!ruleset.is_object() || !ruleset.contains("nftables")) {
        finding.detail = "the rules that nft printed could not be read";
        return finding;
    }
    // Chains by table and name, with their rules in order.
    std::map<std::string, json> chains;
    std::map<std::string, std::vector<json>> rules;
    for (const json& item : ruleset["nftables"]) {
        if (item.contains("chain")) {
            const json& c = item["chain"];
            chains[c.value("family", "") + " " + c.value("table", "") + " " + c.value("name", "")] = c;
        } else if (item.contains("rule")) {
            const json& r = item["rule"];
            rules[r.value("family", "") + " " + r.value("table", "") + " " + r.value("chain", "")].push_back(r);
        }
    }
    finding.state = FirewallFinding::State::Open;
    for (const auto& [key, chain] : chains) {
        const std::string hook = chain.value("hook", "");
        if (hook != "input" && hook != "prerouting") {
            continue;
        }
        std::string verdict;
        for (const json& rule : rules[key]) {
            verdict = RuleVerdict(rule.value("expr", json::array()), port);
            if (!verdict.empty()) {
                break;
            }
        }
        if (verdict.empty() && chain.value("policy", "accept") == "drop") {
            verdict = "drop";
            finding.detail = "the policy of chain " + key + " drops it";
        } else if (verdict == "drop") {
            finding.detail = "a rule in chain " + key + " drops it";
        }
        if (verdict == "drop") {
            finding.state = FirewallFinding::State::Dropped;
            return finding;
        }
    }
    return finding;
}

FirewallFinding AnalyseIptablesRules(const std::string& text, int port)
{
    FirewallFinding finding;
    finding.state = FirewallFinding::State::Open;
    std::istringstream lines(text);
    const std::string portText = std::to_string(port);
    for (std::string line; std::getline(lines, line);) {
        const bool drops = line.find("-j DROP") != std::string::npos || line.find("-j REJECT") != std::string::npos;
        if (line.rfind("-P INPUT DROP", 0) == 0) {
            finding.state = FirewallFinding::State::Dropped;
            finding.detail = "the INPUT policy drops it unless a rule accepts it: " + line;
        } else if (line.rfind("-A INPUT", 0) == 0 && drops && line.find("--dport " + portText) != std::string::npos) {
            finding.state = FirewallFinding::State::Dropped;
            finding.detail = "rule: " + line;
            return finding;
        } else if (line.rfind("-A INPUT", 0) == 0 && line.find("-j ACCEPT") != std::string::npos &&
                   line.find("--dport " + portText) != std::string::npos) {
            finding.state = FirewallFinding::State::Open;
            return finding;
        }
    }
    return finding;
}

FirewallFinding CheckFirewall(int port)
{
    if (Installed("nft")) {
        return AnalyseNftRuleset(Run("nft -j list ruleset 2>/dev/null"), port);
    }
    if (Installed("iptables")) {
        return AnalyseIptablesRules(Run("iptables -S INPUT 2>/dev/null"), port);
    }
    FirewallFinding finding;
    finding.detail = "neither nft nor iptables is installed";
    return finding;
}
