#include "DeviceTable.h"

namespace scanix::search {

DeviceTable::DeviceTable(std::size_t capacity)
    : m_capacity(capacity)
{}

DeviceTable::Verdict DeviceTable::Report(const std::string& mac, std::uint64_t fingerprint, std::uint64_t round)
{
    auto found = m_entries.find(mac);
    if (found == m_entries.end()) {
        if (m_entries.size() >= m_capacity) {
            return Verdict::Full;
        }
        m_entries.emplace(mac, Entry{fingerprint, round, m_search});
        return Verdict::Found;
    }
    Entry& entry = found->second;
    entry.lastRound = round;
    const bool again = entry.search != m_search;
    const bool changed = entry.fingerprint != fingerprint;
    entry.search = m_search;
    entry.fingerprint = fingerprint;
    if (again) {
        return changed ? Verdict::FoundChanged : Verdict::Found;
    }
    return changed ? Verdict::Changed : Verdict::Same;
}

void DeviceTable::Restart()
{
    ++m_search;
}

bool DeviceTable::Bye(const std::string& mac)
{
    return m_entries.erase(mac) > 0;
}

std::vector<std::string> DeviceTable::Expire(std::uint64_t round, std::uint64_t silentRounds)
{
    std::vector<std::string> gone;
    if (round < silentRounds) {
        return gone;
    }
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.lastRound < round - silentRounds) {
            gone.push_back(it->first);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    return gone;
}

void DeviceTable::Clear()
{
    m_entries.clear();
}

std::size_t DeviceTable::Size() const
{
    return m_entries.size();
}

} // namespace scanix::search
