#include "WireMac.h"

#include <cstdio>

namespace scanix::proto {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool ParseMac(std::string_view text, MacBytes& out)
{
    if (text.size() != 17) {
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t at = i * 3;
        const int high = HexValue(text[at]);
        const int low = HexValue(text[at + 1]);
        if (high < 0 || low < 0 || (i < 5 && text[at + 2] != ':')) {
            return false;
        }
        out[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return true;
}

std::string FormatMac(const unsigned char* mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::string NormalizeMac(std::string_view text)
{
    MacBytes bytes{};
    if (!ParseMac(text, bytes)) {
        return {};
    }
    return FormatMac(bytes.data());
}

} // namespace scanix::proto
