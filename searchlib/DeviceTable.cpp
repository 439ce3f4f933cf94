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
        m_entries.emplace(mac, Entry{fingerprint, round});
        return Verdict::Found;
    }
    found->second.lastRound = round;
    if (found->second.fingerprint == fingerprint) {
        return Verdict::Same;
    }
    found->second.fingerprint = fingerprint;
    return Verdict::Changed;
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
