#include "DeviceTable.h"

#include <algorithm>

namespace scanix::search {

DeviceTable::DeviceTable(std::size_t capacity)
    : m_capacity(capacity)
{}

DeviceTable::Verdict DeviceTable::Report(
    const std::string& mac, std::uint64_t fingerprint, std::uint64_t round, bool answer, std::string* evicted)
{
    auto found = m_entries.find(mac);
    if (found == m_entries.end()) {
        if (m_entries.size() >= m_capacity && !(answer && (EvictUnconfirmed(evicted) || EvictStale(evicted)))) {
            ++m_dropped;
            return Verdict::Full;
        }
        const Entry entry{fingerprint, round, m_search, answer, ++m_serial};
        m_entries.emplace(mac, entry);
        NoteHeard(mac);
        if (!answer) {
            // Stale queue entries are dropped now and then, so the queue stays within bounds.
            if (m_unconfirmed.size() >= 2 * m_capacity) {
                m_unconfirmed.erase(std::remove_if(m_unconfirmed.begin(),
                                                   m_unconfirmed.end(),
                                                   [this](const Unconfirmed& u) {
                                                       const auto it = m_entries.find(u.mac);
                                                       return it == m_entries.end() || it->second.confirmed ||
                                                              it->second.serial != u.serial;
                                                   }),
                                    m_unconfirmed.end());
            }
            m_unconfirmed.push_back({mac, entry.serial});
        }
        return Verdict::Found;
    }
    Entry& entry = found->second;
    entry.lastRound = round;
    entry.confirmed = entry.confirmed || answer;
    const bool again = entry.search != m_search;
    const bool changed = entry.fingerprint != fingerprint;
    entry.search = m_search;
    entry.fingerprint = fingerprint;
    if (again) {
        NoteHeard(mac);
    }
    if (again) {
        return changed ? Verdict::FoundChanged : Verdict::Found;
    }
    return changed ? Verdict::Changed : Verdict::Same;
}

bool DeviceTable::EvictUnconfirmed(std::string* evicted)
{
    while (!m_unconfirmed.empty()) {
        const Unconfirmed oldest = std::move(m_unconfirmed.front());
        m_unconfirmed.pop_front();
        const auto it = m_entries.find(oldest.mac);
        if (it == m_entries.end() || it->second.confirmed || it->second.serial != oldest.serial) {
            continue;
        }
        m_entries.erase(it);
        if (evicted != nullptr) {
            *evicted = oldest.mac;
        }
        return true;
    }
    return false;
}

bool DeviceTable::EvictStale(std::string* evicted)
{
    while (!m_heard.empty() && m_heard.front().search != m_search) {
        const Heard oldest = std::move(m_heard.front());
        m_heard.pop_front();
        const auto it = m_entries.find(oldest.mac);
        if (it == m_entries.end() || it->second.search != oldest.search) {
            continue;
        }
        m_entries.erase(it);
        if (evicted != nullptr) {
            *evicted = oldest.mac;
        }
        return true;
    }
    return false;
}

void DeviceTable::NoteHeard(const std::string& mac)
{
    // Items of devices forgotten or heard again later are dropped now and then.
    if (m_heard.size() >= 2 * m_capacity) {
        m_heard.erase(std::remove_if(m_heard.begin(),
                                     m_heard.end(),
                                     [this](const Heard& h) {
                                         const auto it = m_entries.find(h.mac);
                                         return it == m_entries.end() || it->second.search != h.search;
                                     }),
                      m_heard.end());
    }
    m_heard.push_back({mac, m_search});
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
    m_unconfirmed.clear();
    m_heard.clear();
}

std::size_t DeviceTable::Size() const
{
    return m_entries.size();
}

std::uint64_t DeviceTable::Dropped() const
{
    return m_dropped;
}

} // namespace scanix::search
