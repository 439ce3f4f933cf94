#pragma once

// Byte scans of the tokenizer's hot paths. Runs between tags and tag names are short, so
// these test 16 bytes at a time inline (SSE2, part of every x86-64) instead of calling the
// library per run; they never read past the given length.

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace MarkupScan {
// Position of the first c at or after from, or length when there is none.
inline std::uint32_t FindByte(const char* text, std::uint32_t from, std::uint32_t length, char c)
{
    std::uint32_t p = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    // Two blocks inline cover the usual line break, indentation or short value.
    for (int block = 0; block < 2 && length - p >= 16; ++block, p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted));
        if (mask) {
            return p + static_cast<std::uint32_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
#endif
    if (p >= length) {
        return length;
    }
    const void* found = std::memchr(text + p, c, length - p);
    return found ? static_cast<std::uint32_t>(static_cast<const char*>(found) - text) : length;
}

inline bool IsNameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '/' || c == '>';
}

// End of a tag name: the first whitespace, '/' or '>' at or after from, or length.
inline std::uint32_t NameEnd(const char* text, std::uint32_t from, std::uint32_t length)
{
    std::uint32_t p = from;
#if defined(__SSE2__)
    while (length - p >= 16) {
        // Every byte up to a space is a candidate (one unsigned minimum instead of four
        // compares); the rare control byte that is not whitespace is passed over below.
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(' ')), bytes);
        const __m128i ends = _mm_or_si128(
            low, _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('>'))));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(ends));
        while (mask) {
            const std::uint32_t at = p + static_cast<std::uint32_t>(__builtin_ctz(mask));
            if (IsNameEnd(text[at])) {
                return at;
            }
            mask &= mask - 1;
        }
        p += 16;
    }
#endif
    while (p < length && !IsNameEnd(text[p])) {
        ++p;
    }
    return p;
}

// The '>' that ends a tag, skipping any inside quoted values ("..." or '...'), or length.
inline std::uint32_t TagEnd(const char* text, std::uint32_t from, std::uint32_t length)
{
    std::uint32_t p = from;
    // Most tags have no attributes and end right after the name.
    if (p < length && text[p] == '>') {
        return p;
    }
    for (;;) {
#if defined(__SSE2__)
        int mask = 0;
        while (length - p >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + p));
            mask = _mm_movemask_epi8(_mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
                _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\''))));
            if (mask) {
                p += static_cast<std::uint32_t>(__builtin_ctz(static_cast<unsigned>(mask)));
                break;
            }
            p += 16;
        }
        if (!mask) {
#endif
            while (p < length && text[p] != '>' && text[p] != '"' && text[p] != '\'') {
                ++p;
            }
            if (p >= length) {
                return length;
            }
#if defined(__SSE2__)
        }
#endif
        if (text[p] == '>') {
            return p;
        }
        const std::uint32_t close = FindByte(text, p + 1, length, text[p]);
        if (close >= length) {
            return length;
        }
        p = close + 1;
    }
}
} // namespace MarkupScan
