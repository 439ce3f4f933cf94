#include "MarkupString.h"

#include "MarkupTokenizer.h"

#include <cstring>

namespace {
const char* NamedEntity(char c)
{
    switch (c) {
    case '<':
        return "&lt;";
    case '&':
        return "&amp;";
    case '>':
        return "&gt;";
    case '\'':
        return "&apos;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

std::string Escape(const char* text, std::size_t length, bool attribute)
{
    std::string out;
    out.reserve(length + length / 10 + 7);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        const char* entity = (attribute || (c != '\'' && c != '"')) ? NamedEntity(c) : nullptr;
        if (entity) {
            out += entity;
        } else {
            out += c;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int DigitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hex && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hex && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes a numeric reference at text[0] ('&'); returns its length, or 0 when it is none.
// The ';' must come within the 8 characters after "&#", which also bounds the value.
// Zero, surrogates and values past U+10FFFF have no UTF-8 form and stay as text.
std::size_t NumericReference(const char* text, std::size_t length, std::string& out)
{
    if (length < 4 || text[1] != '#') {
        return 0;
    }
    const bool hex = text[2] == 'x';
    std::size_t p = hex ? 3 : 2;
    const std::size_t reach = length < 10 ? length : 10;
    std::uint32_t code = 0;
    const std::size_t digitsStart = p;
    while (p < reach && text[p] != ';') {
        const int digit = DigitValue(text[p], hex);
        if (digit < 0) {
            return 0;
        }
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        ++p;
    }
    if (p >= reach || p == digitsStart) {
        return 0;
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    AppendUtf8(out, code);
    return p + 1;
}

std::size_t NamedReference(const char* text, std::size_t length, std::string& out)
{
    static const struct
    {
        const char* entity;
        std::size_t length;
        char c;
    } entities[] = {{"&lt;", 4, '<'}, {"&amp;", 5, '&'}, {"&gt;", 4, '>'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'}};
    for (const auto& e : entities) {
        if (length >= e.length && std::memcmp(text, e.entity, e.length) == 0) {
            out += e.c;
            return e.length;
        }
    }
    return 0;
}

bool IsElementNameEnd(unsigned char c)
{
    return MarkupTokenizer::IsSpace(c) || c == '<' || c == '>' || c == '=' || c == '\\' || c == '/' || c == '?' ||
           c == '!';
}

bool IsAttributeNameEnd(unsigned char c)
{
    return MarkupTokenizer::IsSpace(c) || c == '=' || c == '>' || c == '/' || c == '?';
}
} // namespace

namespace MarkupString {
std::string EscapeText(const char* text, std::size_t length)
{
    return Escape(text, length, false);
}

std::string EscapeAttribute(const char* text, std::size_t length)
{
    return Escape(text, length, true);
}

void AppendUnescaped(std::string& out, const char* text, std::size_t length)
{
    std::size_t p = 0;
    while (p < length) {
        const void* amp = std::memchr(text + p, '&', length - p);
        if (!amp) {
            out.append(text + p, length - p);
            return;
        }
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(amp) - text);
        out.append(text + p, at - p);
        std::size_t used = NumericReference(text + at, length - at, out);
        if (!used) {
            used = NamedReference(text + at, length - at, out);
        }
        if (!used) {
            out += '&';
            used = 1;
        }
        p = at + used;
    }
}

bool NameMatches(const char* docName, std::size_t docLength, const char* requested)
{
    for (std::size_t i = 0; i < docLength; ++i) {
        // A NUL in the request ends it, even where the document name holds a NUL byte.
        if (requested[i] == '\0' || requested[i] != docName[i]) {
            return false;
        }
    }
    const char next = requested[docLength];
    return next == '\0' || next == ' ' || next == '=' || next == '/' || next == '[' || next == ']';
}

std::uint32_t ElementNameEnd(const char* text, std::uint32_t length, std::uint32_t from)
{
    std::uint32_t p = from;
    while (p < length && !IsElementNameEnd(static_cast<unsigned char>(text[p]))) {
        ++p;
    }
    return p;
}

std::uint32_t AttributeNameEnd(const char* text, std::uint32_t length, std::uint32_t from)
{
    std::uint32_t p = from;
    while (p < length && !IsAttributeNameEnd(static_cast<unsigned char>(text[p]))) {
        ++p;
    }
    return p;
}
} // namespace MarkupString
