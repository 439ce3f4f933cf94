// Cursor movement and reading of the XML document.
#include "CMarkupSTL.h"
#include "MarkupString.h"
#include "MarkupTokenizer.h"

#include <cstring>

bool CMarkupSTL::ElementNameMatches(std::uint32_t pos, const char* name) const
{
    if (!name || !*name) {
        return true;
    }
    const std::uint32_t nameStart = m_index[pos].start + 1;
    const std::uint32_t nameEnd =
        MarkupString::ElementNameEnd(m_doc.data(), static_cast<std::uint32_t>(m_doc.size()), nameStart);
    return MarkupString::NameMatches(m_doc.data() + nameStart, nameEnd - nameStart, name);
}

std::uint32_t CMarkupSTL::FindSibling(std::uint32_t parent, std::uint32_t after, const char* name) const
{
    std::uint32_t pos = after ? m_index[after].nextSibling : m_index[parent].firstChild;
    while (pos && !ElementNameMatches(pos, name)) {
        pos = m_index[pos].nextSibling;
    }
    return pos;
}

bool CMarkupSTL::FindElement(const char* name)
{
    const std::uint32_t pos = FindSibling(m_posParent, m_pos, name);
    if (!pos) {
        return false;
    }
    m_pos = pos;
    m_posParent = m_index[pos].parent;
    m_posChild = 0;
    m_nodeKind = MarkupElement;
    return true;
}

bool CMarkupSTL::FindChildElement(const char* name)
{
    if (!m_pos && !FindElement()) {
        return false;
    }
    const std::uint32_t pos = FindSibling(m_pos, m_posChild, name);
    if (!pos) {
        return false;
    }
    m_posChild = pos;
    m_pos = m_index[pos].parent;
    m_posParent = m_index[m_pos].parent;
    m_nodeKind = MarkupElement;
    return true;
}

bool CMarkupSTL::EnterElement()
{
    if (!m_pos || m_nodeKind != MarkupElement) {
        return false;
    }
    m_posParent = m_pos;
    m_pos = m_posChild;
    m_posChild = 0;
    m_nodeKind = m_pos ? MarkupElement : 0;
    return true;
}

bool CMarkupSTL::LeaveElement()
{
    if (!m_posParent) {
        return false;
    }
    m_posChild = m_pos;
    m_pos = m_posParent;
    m_posParent = m_index[m_pos].parent;
    m_nodeKind = MarkupElement;
    return true;
}

void CMarkupSTL::ResetChildPosition()
{
    m_posChild = 0;
    m_nodeKind = m_pos ? MarkupElement : 0;
}

void CMarkupSTL::ResetPos()
{
    m_posParent = m_pos = m_posChild = 0;
    m_nodeKind = 0;
}

std::string CMarkupSTL::GetElementData() const
{
    return ElementData(m_pos);
}

std::string CMarkupSTL::GetChildElementData() const
{
    return ElementData(m_posChild);
}

std::string CMarkupSTL::GetTagName() const
{
    return TagName(m_pos);
}

std::string CMarkupSTL::GetChildTagName() const
{
    return TagName(m_posChild);
}

std::string CMarkupSTL::GetAttrib(const char* name) const
{
    return Attribute(m_pos, name);
}

std::string CMarkupSTL::GetChildAttrib(const char* name) const
{
    return Attribute(m_posChild, name);
}

std::string CMarkupSTL::ElementData(std::uint32_t pos) const
{
    std::string data;
    const ElementPosition& e = m_index[pos];
    if (!pos || e.firstChild || !e.endTagLength) {
        return data;
    }
    const char* content = m_doc.data() + e.start + e.startTagLength;
    const std::uint32_t length = e.length - e.startTagLength - e.endTagLength;
    if (!std::memchr(content, '<', length)) {
        MarkupString::AppendUnescaped(data, content, length);
        return data;
    }
    // Mixed content: text runs and CDATA sections count, comments and the rest do not.
    MarkupTokenizer tokenizer(content, length);
    MarkupToken token;
    for (tokenizer.Next(token); token.kind != MarkupEndOfDocument; tokenizer.Next(token)) {
        if (token.kind == MarkupText) {
            MarkupString::AppendUnescaped(data, content + token.start, token.length);
        } else if (token.kind == MarkupCData) {
            data.append(content + token.start + 9, token.length - 12);
        }
    }
    return data;
}

std::string CMarkupSTL::TagName(std::uint32_t pos) const
{
    if (!pos) {
        return std::string();
    }
    const ElementPosition& e = m_index[pos];
    const std::uint32_t end = MarkupTokenizer::NameEnd(m_doc.data(), e.start + e.startTagLength, e.start + 1);
    return m_doc.substr(e.start + 1, end - e.start - 1);
}

std::string CMarkupSTL::Attribute(std::uint32_t pos, const char* name) const
{
    std::string value;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    if (!pos || !name || !*name || !FindAttribute(pos, name, start, end)) {
        return value;
    }
    const char first = m_doc[start];
    if ((first == '"' || first == '\'') && end - start >= 2 && m_doc[end - 1] == first) {
        ++start;
        --end;
    }
    MarkupString::AppendUnescaped(value, m_doc.data() + start, end - start);
    return value;
}
