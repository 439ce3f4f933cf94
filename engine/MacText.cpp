#include "MacText.h"

#include <cctype>
#include <cstddef>

namespace {

constexpr std::size_t kMacTextLength = 17;

int hexValue(char c)
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

void UpperCaseMac(char* text)
{
    if (text == nullptr) {
        return;
    }
    for (; *text != '\0'; ++text) {
        // Through unsigned char: toupper of a negative char is undefined.
        *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
    }
}

bool IsMacText(const char* text)
{
    if (text == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < kMacTextLength; ++i) {
        const bool separator = i % 3 == 2;
        if (separator ? text[i] != ':' : hexValue(text[i]) < 0) {
            return false;
        }
    }
    return text[kMacTextLength] == '\0';
}

bool ParseMac(const char* text, unsigned char (&bytes)[6])
{
    if (!IsMacText(text)) {
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        bytes[i] = static_cast<unsigned char>(hexValue(text[3 * i]) * 16 + hexValue(text[3 * i + 1]));
    }
    return true;
}
