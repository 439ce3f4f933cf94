// host and check: offline commands that send nothing.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "HostNetwork.h"
#include "Listing.h"
#include "Messages.h"

#include <iostream>

int RunHost(const std::string& format)
{
    std::string ip, mask, gateway, dns;
    ReadHostNetwork(ip, mask, gateway, dns);
    if (format == "json") {
        nlohmann::ordered_json json;
        json["ip"] = ip;
        json["mask"] = mask;
        json["gateway"] = gateway;
        json["dns"] = dns;
        std::cout << JsonText(json, 2) << '\n';
    } else {
        PrintTable(std::cout, {"IP ADDRESS", "MASK", "GATEWAY", "DNS"}, {{ip, mask, gateway, dns}});
    }
    if (ip.empty()) {
        Message("no IPv4 address found: the host has no default route or no IPv4 interface");
    }
    return ip.empty() ? EXIT_FAILURE_OTHER : EXIT_OK;
}

int RunCheck(const std::string& ip, const std::string& mask, const std::string& gateway)
{
    for (const auto& [what, text] :
         {std::pair<std::string, std::string>{"IP", ip}, {"MASK", mask}, {"GATEWAY", gateway}}) {
        const std::string problem = Ipv4Problem(what, text);
        if (!problem.empty()) {
            Message(problem);
            return EXIT_USAGE;
        }
    }
    const int code = CheckAddresses(ip, mask, gateway);
    if (code != 0) {
        std::cout << RuleMessage(code) << '\n';
        return EXIT_RULE_CHECK;
    }
    std::cout << "The addresses pass every rule.\n";
    return EXIT_OK;
}
