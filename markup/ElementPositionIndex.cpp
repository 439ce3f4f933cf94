#include "ElementPositionIndex.h"

#include <algorithm>

void ElementPositionIndex::Reset(std::uint32_t capacity)
{
    m_used = 1;
    Grow(std::max<std::uint32_t>(capacity, 1));
    (*this)[0] = ElementPosition{};
}

std::uint32_t ElementPositionIndex::Allocate()
{
    if (m_used >= m_capacity) {
        Grow(m_used + m_used / 2 + 1);
    }
    return m_used++;
}

void ElementPositionIndex::Grow(std::uint32_t capacity)
{
    while (m_capacity < capacity) {
        if (m_segments.empty() || m_segments.back().size() == SegmentSize) {
            m_segments.emplace_back();
        }
        std::vector<ElementPosition>& last = m_segments.back();
        const std::size_t wanted = last.size() + (capacity - m_capacity);
        const std::size_t size = std::min<std::size_t>(wanted, SegmentSize);
        m_capacity += static_cast<std::uint32_t>(size - last.size());
        last.resize(size);
    }
}
