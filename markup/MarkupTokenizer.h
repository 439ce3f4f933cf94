#pragma once

#include "MarkupToken.h"

#include <cstdint>

// Reads markup one token at a time from a text of known length. The text need not end
// with a NUL and may contain NUL bytes: no read goes past the given length.
class MarkupTokenizer
{
public:
    MarkupTokenizer(const char* text, std::uint32_t length, std::uint32_t offset = 0);

    // Reads the token at the cursor and moves the cursor just past it.
    void Next(MarkupToken& token);

    std::uint32_t Offset() const
    {
        return m_offset;
    }
    // Moves the cursor past the text run that starts at it (parsing ignores text, so it
    // skips whole runs with one scan instead of classifying them).
    void SkipText();

    // Tokenizer character classes, shared with the document code.
    static bool IsSpace(unsigned char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    }
    static bool IsNameStart(unsigned char c)
    {
        return (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c > 0x60;
    }
    // End of a tag name as the tokenizer reads it: whitespace, '/' or '>'.
    static std::uint32_t NameEnd(const char* text, std::uint32_t length, std::uint32_t from);

private:
    void ReadText(MarkupToken& token);
    void ReadStartTag(MarkupToken& token);
    void ReadEndTag(MarkupToken& token);
    void ReadProcessingInstruction(MarkupToken& token);
    void ReadBang(MarkupToken& token);
    void ReadDoctype(MarkupToken& token);
    // Finds a '>' at or after from that is preceded by the rest of a terminator
    // ("?>", "-->", "]]>"); returns the text length when there is none.
    std::uint32_t FindTerminator(std::uint32_t from, const char* before, std::uint32_t beforeLength) const;
    // Finds the '>' ending a tag, ignoring any inside quoted values.
    std::uint32_t FindTagEnd(std::uint32_t from) const;
    void Finish(MarkupToken& token, int kind, std::uint32_t close);
    void Incorrect(MarkupToken& token, const char* what, std::uint32_t resume);
    void Unterminated(MarkupToken& token, const char* what);

    const char* m_text;
    std::uint32_t m_length;
    std::uint32_t m_offset;
};
