#include "CMarkupSTL.h"

#include "MarkupString.h"
#include "MarkupTokenizer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// Offsets and lengths are 32-bit; a larger text is refused rather than misindexed.
constexpr std::size_t MaxDocumentLength = 0xFFFFFF00u;

// An element whose end tag has not been read yet, with its name as a span of the text.
struct OpenElement
{
    std::uint32_t pos;
    std::uint32_t nameStart;
    std::uint32_t nameLength;
    // The last child so far; 0 while it has none.
    std::uint32_t lastChild;
};

// Byte equality for the short names of end tags, without a library call per tag.
bool SameBytes(const char* a, const char* b, std::uint32_t n)
{
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y) {
            return false;
        }
    }
    for (; n; --n, ++a, ++b) {
        if (*a != *b) {
            return false;
        }
    }
    return true;
}

// The open elements, held inline for ordinary nesting so that a parse allocates nothing
// for them; deeper documents move to the heap.
class OpenStack
{
public:
    OpenStack() = default;
    OpenStack(const OpenStack&) = delete;
    OpenStack& operator=(const OpenStack&) = delete;

    bool empty() const
    {
        return m_size == 0;
    }
    std::size_t size() const
    {
        return m_size;
    }
    const OpenElement& back() const
    {
        return m_data[m_size - 1];
    }
    OpenElement& back()
    {
        return m_data[m_size - 1];
    }
    const OpenElement& operator[](std::size_t i) const
    {
        return m_data[i];
    }
    const OpenElement* begin() const
    {
        return m_data;
    }
    const OpenElement* end() const
    {
        return m_data + m_size;
    }
    void push_back(const OpenElement& element)
    {
        if (m_size == m_capacity) {
            Grow();
        }
        m_data[m_size++] = element;
    }
    // Only ever shrinks: elements are closed, never reopened.
    void resize(std::size_t size)
    {
        m_size = size;
    }

private:
    void Grow()
    {
        std::vector<OpenElement> bigger(m_capacity * 2 + 6);
        std::copy(m_data, m_data + m_size, bigger.begin());
        m_heap.swap(bigger);
        m_data = m_heap.data();
        m_capacity = m_heap.size();
    }

    OpenElement m_inline[32];
    std::vector<OpenElement> m_heap;
    OpenElement* m_data = m_inline;
    std::size_t m_size = 0;
    std::size_t m_capacity = 32;
};
} // namespace

CMarkupSTL::CMarkupSTL()
{
    SetDocument(nullptr, 0);
}

CMarkupSTL::CMarkupSTL(const char* text)
{
    SetDocument(text);
}

CMarkupSTL::CMarkupSTL(const char* text, std::size_t length)
{
    SetDocument(text, length);
}

bool CMarkupSTL::SetDocument(const char* text)
{
    return SetDocument(text, text ? std::strlen(text) : 0);
}

bool CMarkupSTL::SetDocument(const char* text, std::size_t length)
{
    if (!text || length > MaxDocumentLength) {
        m_doc.clear();
    } else {
        m_doc.assign(text, length);
    }
    Parse();
    if (text && length > MaxDocumentLength) {
        m_error = "Document too large";
    }
    return IsWellFormed();
}

bool CMarkupSTL::IsWellFormed() const
{
    const ElementPosition& root = m_index[0];
    return !(root.flags & ElementIllFormed) && root.firstChild && !m_index[root.firstChild].nextSibling;
}

void CMarkupSTL::Parse()
{
    m_error.clear();
    m_posParent = m_pos = m_posChild = 0;
    m_nodeKind = 0;
    const auto length = static_cast<std::uint32_t>(m_doc.size());
    // Room for one element per 16 bytes: typical messages then never regrow the index,
    // and reserved but unused room is never touched.
    m_index.Reset(length / 16 + 8);
    if (m_doc.empty()) {
        m_error = "Empty document";
        return;
    }
    ParseChildren(0);
    ElementPosition& root = m_index[0];
    root.length = length;
    if (!root.firstChild) {
        m_error = "No root element";
    } else if (m_index[root.firstChild].nextSibling) {
        m_error = "Root element has sibling";
    }
}

// One forward pass with an explicit stack of open elements, so nesting depth costs no
// recursion. Names are compared in place in the text. While an element is open its last
// child is kept on the stack, and the first child's link to the last child is only
// written when the element closes, so appending touches one record fewer.
void CMarkupSTL::ParseChildren(std::uint32_t root)
{
    const char* text = m_doc.data();
    const auto length = static_cast<std::uint32_t>(m_doc.size());
    OpenStack open;
    std::uint32_t rootLast = 0;
    const auto settle = [this](std::uint32_t pos, std::uint32_t last) {
        const std::uint32_t first = m_index[pos].firstChild;
        if (first) {
            m_index[first].previousSibling = last;
        }
    };
    // Before elements are closed as not ended, every open list gets its last-child link,
    // which moving children relies on.
    const auto settleFrom = [&](std::size_t from) {
        for (std::size_t k = from; k < open.size(); ++k) {
            settle(open[k].pos, open[k].lastChild);
        }
    };
    MarkupTokenizer tokenizer(text, length, m_index[root].start + m_index[root].startTagLength);
    MarkupToken token;
    for (;;) {
        // Text never enters the index, so whole runs are skipped without classifying them.
        tokenizer.SkipText();
        // The end tag of the innermost open element is by far the most common one: compare
        // it in place against the open name instead of scanning its name first. Its name is
        // that element's name exactly when the bytes agree and '>' follows them.
        const std::uint32_t at = tokenizer.Offset();
        if (!open.empty() && length - at > 2 && text[at + 1] == '/') {
            const OpenElement& top = open.back();
            const std::uint32_t close = at + 2 + top.nameLength;
            if (close < length && text[close] == '>' &&
                SameBytes(text + at + 2, text + top.nameStart, top.nameLength)) {
                settle(top.pos, top.lastChild);
                ElementPosition& closed = m_index[top.pos];
                closed.length = close + 1 - closed.start;
                closed.endTagLength = close + 1 - at;
                open.resize(open.size() - 1);
                tokenizer.SkipTo(close + 1);
                continue;
            }
        }
        tokenizer.Next(token);
        if (token.kind == MarkupEndOfDocument) {
            break;
        }
        if (token.kind == MarkupElement) {
            const std::uint32_t parent = open.empty() ? root : open.back().pos;
            std::uint32_t& last = open.empty() ? rootLast : open.back().lastChild;
            std::uint32_t pos = 0;
            ElementPosition& e = m_index.Allocate(pos);
            // The length comes from the cursor rather than the token: loading the token's
            // adjacent start and length as one word stalls on their two separate stores.
            const std::uint32_t tagLength = tokenizer.Offset() - token.start;
            e.start = token.start;
            e.length = tagLength;
            e.startTagLength = tagLength;
            e.parent = parent;
            if (last) {
                m_index[last].nextSibling = pos;
                e.previousSibling = last;
            } else {
                m_index[parent].firstChild = pos;
            }
            last = pos;
            if (!token.empty) {
                open.push_back(OpenElement{pos, token.nameStart, token.nameLength, 0});
            }
        } else if (token.kind == MarkupError) {
            m_index[root].flags |= ElementIllFormed;
            if (!open.empty()) {
                m_index[open.back().pos].flags |= ElementBadInside;
            }
            SetError(token.error);
        } else if (token.kind == MarkupEndTag) {
            std::size_t k = open.size();
            while (k > 0 && !(open[k - 1].nameLength == token.nameLength &&
                              SameBytes(text + open[k - 1].nameStart, text + token.nameStart, token.nameLength))) {
                --k;
            }
            if (k == 0) {
                const std::string endName(text + token.nameStart, token.nameLength);
                m_index[root].flags |= ElementIllFormed;
                if (!open.empty()) {
                    m_index[open.back().pos].flags |= ElementBadInside;
                }
                SetError("No start tag for end tag '" + endName + "' at offset " + std::to_string(token.start));
                continue;
            }
            const std::size_t found = k - 1;
            settleFrom(found);
            if (found + 1 < open.size()) {
                const OpenElement& inner = open.back();
                const std::string endName(text + token.nameStart, token.nameLength);
                m_index[root].flags |= ElementIllFormed;
                SetError("End tag '" + endName + "' at offset " + std::to_string(token.start + 1) +
                         " does not match start tag '" + std::string(text + inner.nameStart, inner.nameLength) +
                         "' at offset " + std::to_string(m_index[inner.pos].start));
                // Outermost first: each unended element hands its children to a parent
                // that is already settled, so no element is moved twice.
                for (std::size_t j = found + 1; j < open.size(); ++j) {
                    CloseNotEnded(open[j].pos);
                }
            }
            ElementPosition& closed = m_index[open[found].pos];
            closed.length = tokenizer.Offset() - closed.start;
            closed.endTagLength = tokenizer.Offset() - token.start;
            open.resize(found);
        }
    }
    settle(root, rootLast);
    if (!open.empty()) {
        const OpenElement& inner = open.back();
        m_index[root].flags |= ElementIllFormed;
        SetError("Element '" + std::string(text + inner.nameStart, inner.nameLength) + "' at offset " +
                 std::to_string(m_index[inner.pos].start) + " not ended");
        settleFrom(0);
        for (const OpenElement& element : open) {
            CloseNotEnded(element.pos);
        }
    }
}

// An element that is never ended ends with its start tag: its children become its
// following siblings.
void CMarkupSTL::CloseNotEnded(std::uint32_t pos)
{
    ElementPosition& e = m_index[pos];
    const std::uint32_t parent = e.parent;
    e.flags |= ElementNotEnded;
    e.length = e.startTagLength;
    e.endTagLength = 0;
    if (e.flags & ElementBadInside) {
        e.flags &= ~static_cast<std::uint32_t>(ElementBadInside);
        m_index[parent].flags |= ElementBadInside;
    }
    const std::uint32_t first = e.firstChild;
    if (!first) {
        return;
    }
    const std::uint32_t last = m_index[first].previousSibling;
    for (std::uint32_t c = first; c; c = m_index[c].nextSibling) {
        m_index[c].parent = parent;
    }
    const std::uint32_t next = e.nextSibling;
    e.firstChild = 0;
    e.nextSibling = first;
    m_index[first].previousSibling = pos;
    m_index[last].nextSibling = next;
    if (next) {
        m_index[next].previousSibling = last;
    } else {
        m_index[m_index[parent].firstChild].previousSibling = last;
    }
}

void CMarkupSTL::AppendChild(std::uint32_t parent, std::uint32_t pos)
{
    ElementPosition& p = m_index[parent];
    ElementPosition& e = m_index[pos];
    e.nextSibling = 0;
    if (!p.firstChild) {
        p.firstChild = pos;
        e.previousSibling = pos;
        return;
    }
    ElementPosition& first = m_index[p.firstChild];
    m_index[first.previousSibling].nextSibling = pos;
    e.previousSibling = first.previousSibling;
    first.previousSibling = pos;
}

void CMarkupSTL::SetError(const std::string& message)
{
    if (m_error.empty()) {
        m_error = message;
    }
}
