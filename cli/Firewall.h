#pragma once

// Reads the machine's firewall rules (read only) and tells whether they drop the UDP port the
// devices answer on.

#include <string>

struct FirewallFinding
{
    enum class State
    {
        Open,      // nothing in the rules drops the port
        Dropped,   // a rule or an input policy drops it
        NotChecked // no tool to read the rules with, or reading them failed
    } state = State::NotChecked;
    std::string detail; // the rule or the reason, for the finding's line
};

// From the JSON that "nft -j list ruleset" prints.
FirewallFinding AnalyseNftRuleset(const std::string& json, int port);
// From what "iptables -S INPUT" prints.
FirewallFinding AnalyseIptablesRules(const std::string& text, int port);
// Runs nft, else iptables, and analyses their rules.
FirewallFinding CheckFirewall(int port);
