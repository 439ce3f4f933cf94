#include "ElementPositionIndex.h"

#include <algorithm>

void ElementPositionIndex::Reset(std::uint32_t capacity)
{
    m_more.clear();
    m_head.clear();
    m_head.reserve(std::min(std::max<std::uint32_t>(capacity, 1), SegmentSize));
    m_head.push_back(ElementPosition{});
    m_used = 1;
}

std::vector<ElementPosition>& ElementPositionIndex::Grow()
{
    std::vector<ElementPosition>& last = m_more.empty() ? m_head : m_more.back();
    if (last.size() < SegmentSize) {
        // Only the partly filled last segment is ever copied when it grows.
        const std::size_t wanted = last.size() + last.size() / 2 + 1;
        last.reserve(std::min<std::size_t>(wanted, SegmentSize));
        return last;
    }
    m_more.reserve(m_more.size() * 2 + 4);
    m_more.emplace_back();
    m_more.back().reserve(SegmentSize);
    return m_more.back();
}
