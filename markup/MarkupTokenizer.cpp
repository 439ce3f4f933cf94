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
    return MarkupScan::NameEnd(text, from, length);
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
        if (m_text[p - 1] == before[beforeLength - 1] && (beforeLength == 1 || m_text[p - 2] == before[0])) {
            return p;
        }
        ++p;
    }
    return m_length;
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
