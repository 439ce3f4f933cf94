#pragma once

#include "MarkupScan.h"
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
    // Moves the cursor to offset, past markup the caller has read itself.
    void SkipTo(std::uint32_t offset)
    {
        m_offset = offset;
    }

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

// The per-tag paths are inline so that a parse keeps the token in registers; the rare
// kinds and the error paths stay out of line.

inline void MarkupTokenizer::Next(MarkupToken& token)
{
    token.start = m_offset;
    token.empty = false;
    token.nameStart = 0;
    token.nameLength = 0;
    if (m_offset >= m_length) {
        token.kind = MarkupEndOfDocument;
        token.length = 0;
        return;
    }
    if (m_text[m_offset] != '<') {
        ReadText(token);
        return;
    }
    if (m_offset + 1 >= m_length) {
        Unterminated(token, "tag");
        return;
    }
    const unsigned char c = static_cast<unsigned char>(m_text[m_offset + 1]);
    if (c == '/') {
        ReadEndTag(token);
    } else if (c == '?') {
        ReadProcessingInstruction(token);
    } else if (c == '!') {
        ReadBang(token);
    } else if (IsNameStart(c)) {
        ReadStartTag(token);
    } else {
        Incorrect(token, "tag name character", m_offset + 1);
    }
}

inline void MarkupTokenizer::SkipText()
{
    if (m_offset < m_length && m_text[m_offset] != '<') {
        m_offset = MarkupScan::FindByte(m_text, m_offset, m_length, '<');
    }
}

inline void MarkupTokenizer::ReadStartTag(MarkupToken& token)
{
    const std::uint32_t nameStart = m_offset + 1;
    const std::uint32_t nameEnd = MarkupScan::NameEnd(m_text, nameStart, m_length);
    const std::uint32_t close = FindTagEnd(nameEnd);
    if (close >= m_length) {
        Unterminated(token, "Element tag");
        return;
    }
    token.nameStart = nameStart;
    token.nameLength = nameEnd - nameStart;
    // "/>" only makes an empty element when the slash cannot belong to an unquoted value,
    // so <a b=1/> keeps its slash as part of the value.
    if (close > nameEnd && m_text[close - 1] == '/') {
        const char before = m_text[close - 2];
        token.empty =
            close - 1 == nameEnd || IsSpace(static_cast<unsigned char>(before)) || before == '"' || before == '\'';
    }
    Finish(token, MarkupElement, close);
}

inline void MarkupTokenizer::ReadEndTag(MarkupToken& token)
{
    const std::uint32_t nameStart = m_offset + 2;
    const std::uint32_t nameEnd = MarkupScan::NameEnd(m_text, nameStart, m_length);
    // Nearly every end tag closes right after its name.
    const std::uint32_t close =
        nameEnd < m_length && m_text[nameEnd] == '>' ? nameEnd : MarkupScan::FindByte(m_text, nameEnd, m_length, '>');
    if (close >= m_length) {
        Unterminated(token, "Element end tag");
        return;
    }
    token.nameStart = nameStart;
    token.nameLength = nameEnd - nameStart;
    Finish(token, MarkupEndTag, close);
}

inline std::uint32_t MarkupTokenizer::FindTagEnd(std::uint32_t from) const
{
    return MarkupScan::TagEnd(m_text, from, m_length);
}

inline void MarkupTokenizer::Finish(MarkupToken& token, int kind, std::uint32_t close)
{
    token.kind = kind;
    token.length = close + 1 - m_offset;
    m_offset = close + 1;
}
