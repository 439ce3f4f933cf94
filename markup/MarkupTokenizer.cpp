#include "MarkupTokenizer.h"

#include <cstring>
#include <string>

MarkupTokenizer::MarkupTokenizer(const char* text, std::uint32_t length, std::uint32_t offset)
    : m_text(text)
    , m_length(length)
    , m_offset(offset)
{}

std::uint32_t MarkupTokenizer::NameEnd(const char* text, std::uint32_t length, std::uint32_t from)
{
    std::uint32_t p = from;
    while (p < length) {
        const unsigned char c = static_cast<unsigned char>(text[p]);
        if (IsSpace(c) || c == '/' || c == '>') {
            break;
        }
        ++p;
    }
    return p;
}

void MarkupTokenizer::Next(MarkupToken& token)
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

void MarkupTokenizer::SkipText()
{
    const void* lt = m_offset < m_length ? std::memchr(m_text + m_offset, '<', m_length - m_offset) : nullptr;
    m_offset = lt ? static_cast<std::uint32_t>(static_cast<const char*>(lt) - m_text) : m_length;
}

void MarkupTokenizer::ReadText(MarkupToken& token)
{
    std::uint32_t p = m_offset;
    while (p < m_length && IsSpace(static_cast<unsigned char>(m_text[p]))) {
        ++p;
    }
    int kind = MarkupWhitespace;
    if (p < m_length && m_text[p] != '<') {
        kind = MarkupText;
        const void* lt = std::memchr(m_text + p, '<', m_length - p);
        p = lt ? static_cast<std::uint32_t>(static_cast<const char*>(lt) - m_text) : m_length;
    }
    token.kind = kind;
    token.length = p - m_offset;
    m_offset = p;
}

void MarkupTokenizer::ReadStartTag(MarkupToken& token)
{
    const std::uint32_t nameStart = m_offset + 1;
    const std::uint32_t nameEnd = NameEnd(m_text, m_length, nameStart);
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

void MarkupTokenizer::ReadEndTag(MarkupToken& token)
{
    const std::uint32_t nameStart = m_offset + 2;
    const std::uint32_t nameEnd = NameEnd(m_text, m_length, nameStart);
    const void* gt = nameEnd < m_length ? std::memchr(m_text + nameEnd, '>', m_length - nameEnd) : nullptr;
    if (!gt) {
        Unterminated(token, "Element end tag");
        return;
    }
    token.nameStart = nameStart;
    token.nameLength = nameEnd - nameStart;
    Finish(token, MarkupEndTag, static_cast<std::uint32_t>(static_cast<const char*>(gt) - m_text));
}

void MarkupTokenizer::ReadProcessingInstruction(MarkupToken& token)
{
    const std::uint32_t nameStart = m_offset + 2;
    // The terminator may not reuse the opening '?': "<?>" is still open.
    const std::uint32_t close = FindTerminator(m_offset + 3, "?", 1);
    if (close >= m_length) {
        Unterminated(token, "Processing instruction");
        return;
    }
    token.nameStart = nameStart;
    token.nameLength = NameEnd(m_text, close, nameStart) - nameStart;
    Finish(token, MarkupProcessingInstruction, close);
}

void MarkupTokenizer::ReadBang(MarkupToken& token)
{
    const std::uint32_t at = m_offset + 2;
    if (at >= m_length) {
        Unterminated(token, "tag");
        return;
    }
    const char c = m_text[at];
    if (c == '-') {
        if (at + 1 >= m_length) {
            Unterminated(token, "Comment");
        } else if (m_text[at + 1] != '-') {
            Incorrect(token, "comment tag", at + 1);
        } else {
            // "<!-->" is not a whole comment: the closing dashes come after the opening ones.
            const std::uint32_t close = FindTerminator(m_offset + 6, "--", 2);
            if (close >= m_length) {
                Unterminated(token, "Comment");
            } else {
                Finish(token, MarkupComment, close);
            }
        }
    } else if (c == '[') {
        if (at + 1 >= m_length) {
            Unterminated(token, "CDATA Section");
        } else if (m_text[at + 1] != 'C') {
            Incorrect(token, "tag", at + 1);
        } else {
            // Searching from past "<![CDATA[" keeps the inner bytes a valid (maybe empty) range.
            const std::uint32_t close = FindTerminator(m_offset + 11, "]]", 2);
            if (close >= m_length) {
                Unterminated(token, "CDATA Section");
            } else {
                Finish(token, MarkupCData, close);
            }
        }
    } else if (c == 'D') {
        ReadDoctype(token);
    } else if (c == 'E' || c == 'A' || c == 'N') {
        const std::uint32_t close = FindTagEnd(at);
        if (close >= m_length) {
            Unterminated(token, "Doctype");
        } else {
            Finish(token, MarkupDeclaration, close);
        }
    } else {
        Incorrect(token, "! tag", at);
    }
}

void MarkupTokenizer::ReadDoctype(MarkupToken& token)
{
    char quote = 0;
    for (std::uint32_t p = m_offset + 3; p < m_length; ++p) {
        const char c = m_text[p];
        if (quote) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '<') {
            // A markup declaration of the internal subset runs to its own '>'.
            p = FindTagEnd(p + 1);
            if (p >= m_length) {
                break;
            }
        } else if (c == '>') {
            Finish(token, MarkupDeclaration, p);
            return;
        }
    }
    Unterminated(token, "Doctype");
}

std::uint32_t MarkupTokenizer::FindTerminator(std::uint32_t from, const char* before, std::uint32_t beforeLength) const
{
    std::uint32_t p = from;
    while (p < m_length) {
        const void* gt = std::memchr(m_text + p, '>', m_length - p);
        if (!gt) {
            break;
        }
        p = static_cast<std::uint32_t>(static_cast<const char*>(gt) - m_text);
        if (std::memcmp(m_text + p - beforeLength, before, beforeLength) == 0) {
            return p;
        }
        ++p;
    }
    return m_length;
}

std::uint32_t MarkupTokenizer::FindTagEnd(std::uint32_t from) const
{
    std::uint32_t p = from;
    while (p < m_length) {
        const char c = m_text[p];
        if (c == '>') {
            return p;
        }
        if (c == '"' || c == '\'') {
            const void* q = std::memchr(m_text + p + 1, c, m_length - p - 1);
            if (!q) {
                return m_length;
            }
            p = static_cast<std::uint32_t>(static_cast<const char*>(q) - m_text);
        }
        ++p;
    }
    return m_length;
}

void MarkupTokenizer::Finish(MarkupToken& token, int kind, std::uint32_t close)
{
    token.kind = kind;
    token.length = close + 1 - m_offset;
    m_offset = close + 1;
}

void MarkupTokenizer::Incorrect(MarkupToken& token, const char* what, std::uint32_t resume)
{
    token.kind = MarkupError;
    token.error = std::string("Incorrect ") + what + " at offset " + std::to_string(m_offset);
    // Skip to the end of the bad tag, but never swallow the next tag, so the parse goes on.
    std::uint32_t p = resume;
    while (p < m_length && m_text[p] != '>' && m_text[p] != '<') {
        ++p;
    }
    if (p < m_length && m_text[p] == '>') {
        ++p;
    }
    token.length = p - m_offset;
    m_offset = p;
}

void MarkupTokenizer::Unterminated(MarkupToken& token, const char* what)
{
    token.kind = MarkupError;
    token.error = std::string(what) + " at offset " + std::to_string(m_offset) + " unterminated";
    token.length = m_length - m_offset;
    m_offset = m_length;
}
