#include "SafeText.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at text[at] and its code point; 0 when the byte
// there does not start one.
std::size_t Sequence(const std::string& text, std::size_t at, char32_t& code)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t low = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        low = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < low || code > 0x10FFFF || surrogate ? 0 : length;
}

bool IsControl(char32_t code)
{
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

} // namespace

std::string PrintableText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = Sequence(text, at, code);
        if (length == 0 || IsControl(code)) {
            out += kReplacement;
            at += length == 0 ? 1 : length;
            continue;
        }
        out.append(text, at, length);
        at += length;
    }
    return out;
}

std::string EchoText(const std::string& text, std::size_t limit)
{
    const std::string printable = PrintableText(text);
    std::size_t characters = 0;
    for (std::size_t at = 0; at < printable.size(); ++at) {
        if ((static_cast<unsigned char>(printable[at]) & 0xC0) == 0x80) {
            continue;
        }
        if (characters == limit) {
            return printable.substr(0, at) + "...";
        }
        ++characters;
    }
    return printable;
}
