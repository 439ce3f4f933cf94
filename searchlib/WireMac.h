#pragma once

// MAC texts as they travel: six hexadecimal pairs joined by colons. Anything else is refused,
// so a malformed text never reaches a callback or a table.

#include <array>
#include <string>
#include <string_view>

namespace scanix::proto {

using MacBytes = std::array<unsigned char, 6>;

// True for exactly "XX:XX:XX:XX:XX:XX" with hexadecimal digits of either case.
bool ParseMac(std::string_view text, MacBytes& out);

// Upper-case "XX:XX:XX:XX:XX:XX".
std::string FormatMac(const unsigned char* mac);

// The upper-case form of a well-shaped MAC text, or an empty string.
std::string NormalizeMac(std::string_view text);

} // namespace scanix::proto
