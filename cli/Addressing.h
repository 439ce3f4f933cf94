#pragma once

// Strict reading of what users type: dotted IPv4 addresses, MACs and ports. The engine's own
// conversion turns anything malformed into 255.255.255.255; here malformed input is refused
// with a message before anything is sent.

#include <cstdint>
#include <optional>
#include <string>

// Network-order value of exactly four decimal numbers 0-255 joined by dots.
std::optional<std::uint32_t> ParseIpv4(const std::string& text);
std::string Ipv4Text(std::uint32_t networkOrder);
// Upper-case MAC text, or nothing when the text is not six hexadecimal pairs joined by colons
// (dashes are accepted as separators too).
std::optional<std::string> NormaliseMac(const std::string& text);
// 1-65535.
std::optional<int> ParsePort(const std::string& text);

// The rule check on three dotted texts that ParseIpv4 accepted; 0 or the failing rule's code.
int CheckAddresses(const std::string& ip, const std::string& mask, const std::string& gateway);

// Why a value given for `what` cannot be used, empty when it can.
std::string Ipv4Problem(const std::string& what, const std::string& text);
