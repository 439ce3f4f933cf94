// Building and editing of the XML document: every edit is made in the text and mirrored
// in the index, so reading and building can be mixed on one object.
#include "CMarkupSTL.h"
#include "MarkupString.h"
#include "MarkupTokenizer.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t MaxDocumentLength = 0xFFFFFF00u;

bool EndsAttributeList(char c)
{
    return c == '/' || c == '>' || c == '?';
}

bool EndsBareWord(char c)
{
    return MarkupTokenizer::IsSpace(static_cast<unsigned char>(c)) || c == '=' || c == '>' || c == '/' || c == '?';
}
} // namespace

bool CMarkupSTL::FindAttribute(std::uint32_t pos,
                               const char* name,
                               std::uint32_t& valueStart,
                               std::uint32_t& valueEnd) const
{
    const char* text = m_doc.data();
    const ElementPosition& e = m_index[pos];
    const std::uint32_t tagEnd = e.start + e.startTagLength;
    std::uint32_t p = MarkupTokenizer::NameEnd(text, tagEnd, e.start + 1);
    std::uint32_t afterLast = p;
    // The start tag read as words, '=' and quoted strings: a word, '=' and a value make
    // an attribute.
    enum
    {
        Nothing,
        HaveName,
        HaveEquals
    } state = Nothing;
    std::uint32_t nameStart = 0;
    std::uint32_t nameEnd = 0;
    for (;;) {
        while (p < tagEnd && MarkupTokenizer::IsSpace(static_cast<unsigned char>(text[p]))) {
            ++p;
        }
        if (p >= tagEnd || EndsAttributeList(text[p])) {
            break;
        }
        const std::uint32_t tokenStart = p;
        const char c = text[p];
        const bool quoted = c == '"' || c == '\'';
        if (quoted) {
            const void* close = std::memchr(text + p + 1, c, tagEnd - p - 1);
            p = close ? static_cast<std::uint32_t>(static_cast<const char*>(close) - text) + 1 : tagEnd;
        } else if (c == '=') {
            ++p;
        } else {
            while (p < tagEnd && !EndsBareWord(text[p])) {
                ++p;
            }
        }
        afterLast = p;
        if (c == '=') {
            state = state == HaveName ? HaveEquals : Nothing;
        } else if (state == HaveEquals) {
            if (MarkupString::NameMatches(text + nameStart, nameEnd - nameStart, name)) {
                valueStart = tokenStart;
                valueEnd = p;
                return true;
            }
            state = Nothing;
        } else if (!quoted) {
            nameStart = tokenStart;
            nameEnd = p;
            state = HaveName;
        } else {
            state = Nothing;
        }
    }
    valueStart = valueEnd = afterLast;
    return false;
}

bool CMarkupSTL::Replace(std::uint32_t offset, std::uint32_t removed, const std::string& text, std::uint32_t holder)
{
    if (m_doc.size() - removed + text.size() > MaxDocumentLength) {
        return false;
    }
    m_doc.replace(offset, removed, text);
    const auto delta = static_cast<std::uint32_t>(text.size() - removed);
    // Unsigned wrap-around makes the same addition shrink as well as grow.
    for (std::uint32_t pos = 1; pos < m_index.Used(); ++pos) {
        ElementPosition& e = m_index[pos];
        if (e.start >= offset) {
            e.start += delta;
        }
    }
    for (std::uint32_t pos = holder; pos; pos = m_index[pos].parent) {
        m_index[pos].length += delta;
    }
    m_index[0].length = static_cast<std::uint32_t>(m_doc.size());
    return true;
}

bool CMarkupSTL::AddElement(const char* name, const char* value, int flags)
{
    // Only plain elements are ever built; an element needs a name to be read back.
    if (flags != 0 || !name || !*name) {
        return false;
    }
    const std::string tagName(name);
    const auto nameLength = static_cast<std::uint32_t>(tagName.size());
    std::string element;
    std::uint32_t startTagLength = nameLength + 3;
    std::uint32_t endTagLength = 0;
    if (value && *value) {
        element = "<" + tagName + ">" + MarkupString::EscapeText(value, std::strlen(value)) + "</" + tagName + ">";
        startTagLength = nameLength + 2;
        endTagLength = nameLength + 3;
    } else {
        element = "<" + tagName + "/>";
    }
    const auto elementLength = static_cast<std::uint32_t>(element.size());
    element += "\r\n";

    const std::uint32_t parent = m_pos ? m_index[m_pos].parent : m_posParent;
    const auto docLength = static_cast<std::uint32_t>(m_doc.size());
    std::uint32_t offset = docLength;
    std::uint32_t removed = 0;
    std::uint32_t lead = 0;
    std::string insert;
    bool openParent = false;
    std::string parentName;
    if (m_pos) {
        const ElementPosition& current = m_index[m_pos];
        offset = current.start + current.length;
        // Skip the line break after the current element so the new one starts a line.
        std::uint32_t p = offset;
        while (p < docLength && MarkupTokenizer::IsSpace(static_cast<unsigned char>(m_doc[p]))) {
            ++p;
        }
        if (p >= docLength || m_doc[p] == '<') {
            offset = p;
        }
        insert = element;
    } else if (parent) {
        const ElementPosition& p = m_index[parent];
        const std::uint32_t tagEnd = p.start + p.startTagLength;
        if (!p.endTagLength && p.startTagLength >= 2 && m_doc[tagEnd - 2] == '/') {
            // <p/> becomes <p>, the new line, </p: the old '>' closes the new end tag.
            openParent = true;
            parentName = TagName(parent);
            offset = tagEnd - 2;
            removed = 1;
            lead = 3;
            insert = ">\r\n" + element + "</" + parentName;
        } else {
            offset = p.start + p.length - p.endTagLength;
            if (p.endTagLength && offset == tagEnd) {
                lead = 2;
                insert = "\r\n" + element;
            } else {
                insert = element;
            }
        }
    } else {
        insert = element;
    }
    if (!Replace(offset, removed, insert, parent)) {
        return false;
    }
    if (openParent) {
        ElementPosition& p = m_index[parent];
        p.startTagLength -= 1;
        p.endTagLength = static_cast<std::uint32_t>(parentName.size()) + 3;
    }
    std::uint32_t pos = 0;
    m_index.Allocate(pos) =
        ElementPosition{offset + lead, elementLength, startTagLength, endTagLength, 0, parent, 0, 0, 0};
    if (m_pos) {
        ElementPosition& current = m_index[m_pos];
        ElementPosition& added = m_index[pos];
        added.previousSibling = m_pos;
        added.nextSibling = current.nextSibling;
        if (current.nextSibling) {
            m_index[current.nextSibling].previousSibling = pos;
        } else {
            m_index[m_index[parent].firstChild].previousSibling = pos;
        }
        current.nextSibling = pos;
    } else {
        AppendChild(parent, pos);
    }
    m_pos = pos;
    m_posParent = parent;
    m_posChild = 0;
    m_nodeKind = MarkupElement;
    return true;
}

bool CMarkupSTL::AddElementNumber(const char* name, int value, int flags)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return AddElement(name, text, flags);
}

bool CMarkupSTL::SetAttribute(const char* name, const char* value)
{
    if (!m_pos || m_nodeKind != MarkupElement || !name || !*name) {
        return false;
    }
    const std::string quoted =
        "\"" + MarkupString::EscapeAttribute(value ? value : "", value ? std::strlen(value) : 0) + "\"";
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::string insert = quoted;
    if (!FindAttribute(m_pos, name, start, end)) {
        insert = std::string(" ") + name + "=" + quoted;
    }
    const std::uint32_t before = m_index[m_pos].startTagLength;
    if (!Replace(start, end - start, insert, m_pos)) {
        return false;
    }
    m_index[m_pos].startTagLength = before + static_cast<std::uint32_t>(insert.size() - (end - start));
    return true;
}
