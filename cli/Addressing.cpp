#include "Addressing.h"

#include "AddressingRules.h"
#include "MacText.h"
#include "SafeText.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>

std::optional<std::uint32_t> ParseIpv4(const std::string& text)
{
    // inet_pton alone accepts no leading zeros or short forms on glibc, which is what we want.
    in_addr addr{};
    if (text.size() > 15 || inet_pton(AF_INET, text.c_str(), &addr) != 1) {
        return std::nullopt;
    }
    return addr.s_addr;
}

std::string Ipv4Text(std::uint32_t networkOrder)
{
    in_addr addr{};
    addr.s_addr = networkOrder;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, text, sizeof text);
    return text;
}

std::optional<std::string> NormaliseMac(const std::string& text)
{
    std::string mac = text;
    std::replace(mac.begin(), mac.end(), '-', ':');
    if (!IsMacText(mac.c_str())) {
        return std::nullopt;
    }
    UpperCaseMac(mac.data());
    return mac;
}

std::optional<int> ParsePort(const std::string& text)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    const int port = std::stoi(text);
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

int CheckAddresses(const std::string& ip, const std::string& mask, const std::string& gateway)
{
    int code = 0;
    CheckAddressingRules(ParseIpv4(ip).value_or(0xFFFFFFFFu),
                         ParseIpv4(mask).value_or(0xFFFFFFFFu),
                         ParseIpv4(gateway).value_or(0xFFFFFFFFu),
                         code);
    return code;
}

std::string Ipv4Problem(const std::string& what, const std::string& text)
{
    if (ParseIpv4(text)) {
        return "";
    }
    return what + " \"" + EchoText(text) + "\" is not an IPv4 address (four numbers 0-255 joined by dots)";
}
