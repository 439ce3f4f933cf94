#pragma once

#include "ElementPositionIndex.h"
#include "MarkupToken.h"

#include <cstdint>
#include <string>

// A small XML reader and writer for the messages of the search library and the device
// requests. The document is kept as one byte string plus an index of its elements built
// by one forward scan. It accepts any text: the index holds whatever could be read and
// the first error met is kept as a message. A three-level cursor (parent, current
// element, child) walks the elements; building appends elements and attributes in place
// and keeps the index in step with the text. Names are compared case-sensitively.
class CMarkupSTL
{
public:
    // An empty document ("Empty document" until something is parsed or built).
    CMarkupSTL();
    // Copies and parses a NUL-terminated text; null is an empty text.
    explicit CMarkupSTL(const char* text);
    // Copies and parses length bytes; the text may hold NUL bytes and need not end with one.
    CMarkupSTL(const char* text, std::size_t length);

    // Replaces the document and parses it; the cursor goes back to the top. Returns true
    // when the text is well formed: no error, exactly one top-level element.
    bool SetDocument(const char* text);
    bool SetDocument(const char* text, std::size_t length);
    const std::string& GetDocument() const
    {
        return m_doc;
    }
    // The first error of the last parse, empty when there was none.
    const std::string& GetError() const
    {
        return m_error;
    }
    bool IsWellFormed() const;

    // Moves to the next sibling named name (any name when null or empty) after the
    // current element, or the first one under the parent when there is no current element.
    // Never wraps round: an element before the current one is not found.
    bool FindElement(const char* name = nullptr);
    // The same one level down, among the current element's children after the child position.
    bool FindChildElement(const char* name = nullptr);
    bool EnterElement();
    bool LeaveElement();
    void ResetChildPosition();
    // Back to the top: no current element, the next FindElement looks at the top level.
    void ResetPos();

    // Text content, unescaped, with CDATA sections' bytes; empty for an element that has
    // children, is empty or was never ended.
    std::string GetElementData() const;
    std::string GetChildElementData() const;
    std::string GetTagName() const;
    std::string GetChildTagName() const;
    // Attribute value, unescaped; empty when the attribute is missing.
    std::string GetAttrib(const char* name) const;
    std::string GetChildAttrib(const char* name) const;

    // Adds an element after the current one (or as the parent's last child when there is
    // none) on a line of its own, and makes it current. Only flags 0 is supported.
    bool AddElement(const char* name, const char* value = nullptr, int flags = 0);
    bool AddElementNumber(const char* name, int value, int flags = 0);
    // Replaces the value of the current element's attribute, or adds the attribute.
    bool SetAttribute(const char* name, const char* value);

private:
    void Parse();
    void ParseChildren(std::uint32_t root);
    void CloseNotEnded(std::uint32_t pos);
    void AppendChild(std::uint32_t parent, std::uint32_t pos);
    void SetError(const std::string& message);
    std::uint32_t FindSibling(std::uint32_t parent, std::uint32_t after, const char* name) const;
    bool ElementNameMatches(std::uint32_t pos, const char* name) const;
    std::string ElementData(std::uint32_t pos) const;
    std::string TagName(std::uint32_t pos) const;
    std::string Attribute(std::uint32_t pos, const char* name) const;
    // Finds the value of the named attribute in the start tag of pos. Returns false when
    // it has none; valueEnd then is where a new attribute goes.
    bool FindAttribute(std::uint32_t pos, const char* name, std::uint32_t& valueStart, std::uint32_t& valueEnd) const;
    // Replaces removed bytes at offset by the text and moves every later position; the
    // element holding the edit and every element round it grow by the difference.
    bool Replace(std::uint32_t offset, std::uint32_t removed, const std::string& text, std::uint32_t holder);

    std::string m_doc;
    std::string m_error;
    std::uint32_t m_posParent = 0;
    std::uint32_t m_pos = 0;
    std::uint32_t m_posChild = 0;
    int m_nodeKind = 0;
    ElementPositionIndex m_index;
};
