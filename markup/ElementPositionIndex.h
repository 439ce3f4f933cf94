#pragma once

#include <cstdint>
#include <vector>

// Flags of an element position.
enum ElementPositionFlag : std::uint32_t
{
    // The element was never closed by its end tag.
    ElementNotEnded = 0x10000,
    // Ill-formed markup was met somewhere inside the element.
    ElementBadInside = 0x20000,
    // Set on the record a parse started from when the parse met any error.
    ElementIllFormed = 0x40000
};

// Where one element lies in the document text and how it is linked to its neighbours.
// The previous-sibling link of a first child points to the last child, so that
// appending a child needs no walk.
struct ElementPosition
{
    std::uint32_t start;
    std::uint32_t length;
    std::uint32_t startTagLength;
    std::uint32_t endTagLength;
    std::uint32_t flags;
    std::uint32_t parent;
    std::uint32_t firstChild;
    std::uint32_t nextSibling;
    std::uint32_t previousSibling;
};

// The element index: records addressed by stable integer positions. Records live in
// segments of at most 65,536; only the last segment ever grows, so a large document
// never copies the records it has already filled.
class ElementPositionIndex
{
public:
    static constexpr std::uint32_t SegmentBits = 16;
    static constexpr std::uint32_t SegmentSize = 1u << SegmentBits;

    // Drops every record but keeps room for at least capacity records; record 0 is zeroed.
    void Reset(std::uint32_t capacity);

    // Takes the next free record, zeroed (growing by half when full); pos is its position.
    // The caller fills the record in place, which spares a copy of a temporary per element.
    ElementPosition& Allocate(std::uint32_t& pos)
    {
        std::vector<ElementPosition>* last = m_more.empty() ? &m_head : &m_more.back();
        if (last->size() == last->capacity()) {
            last = &Grow();
        }
        pos = m_used++;
        return last->emplace_back();
    }

    // Positions in use are 0 to Used() - 1.
    std::uint32_t Used() const
    {
        return m_used;
    }

    // Most documents fit in the first segment, which is reached with one load.
    ElementPosition& operator[](std::uint32_t pos)
    {
        return pos < SegmentSize ? m_head[pos] : m_more[(pos >> SegmentBits) - 1][pos & (SegmentSize - 1)];
    }
    const ElementPosition& operator[](std::uint32_t pos) const
    {
        return pos < SegmentSize ? m_head[pos] : m_more[(pos >> SegmentBits) - 1][pos & (SegmentSize - 1)];
    }

private:
    // Makes room for one more record and returns the segment that has it.
    std::vector<ElementPosition>& Grow();

    // The first segment, then the others; every segment but the last is full.
    std::vector<ElementPosition> m_head;
    std::vector<std::vector<ElementPosition>> m_more;
    std::uint32_t m_used = 0;
};
