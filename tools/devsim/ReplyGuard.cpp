#include "ReplyGuard.h"

#include <algorithm>

ReplyGuard::ReplyGuard(Limits limits)
    : m_limits(limits)
{}

int ReplyGuard::Spread(int spreadMs) const
{
    return std::clamp(spreadMs, m_limits.minSpreadMs, m_limits.maxSpreadMs);
}

std::size_t ReplyGuard::MostPending() const
{
    return std::max<std::size_t>(1, m_limits.searchersTracked);
}

ReplyGuard::Decision ReplyGuard::Probe(const std::string& mac,
                                       const std::string& searcherKey,
                                       std::uint32_t seq,
                                       int spreadMs,
                                       Clock::time_point now,
                                       std::mt19937& random,
                                       Clock::time_point* due)
{
    auto [found, added] = m_devices.try_emplace(mac);
    Device& device = found->second;
    if (added) {
        device.bucket = {m_limits.deviceBurst, now};
    }
    Searcher& searcher = Track(device, searcherKey, now);
    if (Answered(searcher, seq, now)) {
        ++m_counts.copies;
        return Decision::Copy;
    }
    const Clock::time_point latest = now + std::chrono::milliseconds(Spread(spreadMs));
    if (searcher.hasPending && searcher.due <= latest) {
        ++m_counts.pending;
        return Decision::Pending;
    }
    // A new reply, or the pending one brought forward for a round that waits less long: either
    // is one more datagram's worth of the searcher's rate and of the device's.
    const bool searcherHasRoom = searcher.bucket.Refill(now, m_limits.burst, m_limits.perSecond);
    const bool deviceHasRoom = device.bucket.Refill(now, m_limits.deviceBurst, m_limits.devicePerSecond);
    if (!searcherHasRoom || !deviceHasRoom) {
        ++m_counts.limited;
        return searcher.hasPending ? Decision::Pending : Decision::Limited;
    }
    searcher.bucket.tokens -= 1;
    device.bucket.tokens -= 1;
    const int delay = std::uniform_int_distribution<int>(0, Spread(spreadMs))(random);
    searcher.hasPending = true;
    searcher.due = now + std::chrono::milliseconds(delay);
    *due = searcher.due;
    ++m_counts.scheduled;
    return Decision::Schedule;
}

bool ReplyGuard::Take(const std::string& mac, const std::string& searcherKey, Clock::time_point due)
{
    Searcher* searcher = Find(mac, searcherKey);
    if (searcher == nullptr || !searcher->hasPending || searcher->due != due) {
        return false;
    }
    searcher->hasPending = false;
    return true;
}

void ReplyGuard::Forget(const std::string& mac, const std::string& searcherKey)
{
    if (Searcher* searcher = Find(mac, searcherKey)) {
        searcher->hasPending = false;
    }
}

const ReplyGuard::Counts& ReplyGuard::Totals() const
{
    return m_counts;
}

// The device's entry for the searcher, made in place of the longest silent one when the device
// tracks as many as it may. A searcher forgotten so starts afresh, its rounds and its bucket;
// the device's own bucket still bounds what that can bring.
ReplyGuard::Searcher& ReplyGuard::Track(Device& device, const std::string& key, Clock::time_point now)
{
    auto found =
        std::find_if(device.searchers.begin(), device.searchers.end(), [&](const Searcher& s) { return s.key == key; });
    if (found == device.searchers.end()) {
        if (device.searchers.size() >= MostPending()) {
            device.searchers.erase(std::min_element(
                device.searchers.begin(), device.searchers.end(), [](const Searcher& a, const Searcher& b) {
                    return a.lastProbe < b.lastProbe;
                }));
        }
        Searcher fresh;
        fresh.key = key;
        fresh.bucket = {m_limits.burst, now};
        device.searchers.push_back(std::move(fresh));
        found = device.searchers.end() - 1;
    }
    found->lastProbe = now;
    return *found;
}

ReplyGuard::Searcher* ReplyGuard::Find(const std::string& mac, const std::string& key)
{
    const auto device = m_devices.find(mac);
    if (device == m_devices.end()) {
        return nullptr;
    }
    auto& searchers = device->second.searchers;
    const auto found =
        std::find_if(searchers.begin(), searchers.end(), [&](const Searcher& s) { return s.key == key; });
    return found == searchers.end() ? nullptr : &*found;
}

// Remembers the round as answered; true when it was already.
bool ReplyGuard::Answered(Searcher& searcher, std::uint32_t seq, Clock::time_point now)
{
    while (!searcher.rounds.empty() && (searcher.rounds.size() >= m_limits.roundsRemembered ||
                                        now - searcher.rounds.front().second > m_limits.roundMemory)) {
        searcher.rounds.pop_front();
    }
    const bool seen = std::any_of(
        searcher.rounds.begin(), searcher.rounds.end(), [seq](const auto& round) { return round.first == seq; });
    if (!seen) {
        searcher.rounds.emplace_back(seq, now);
    }
    return seen;
}

// Brings the bucket up to date; true when it holds a reply's worth.
bool ReplyGuard::Bucket::Refill(Clock::time_point now, double burst, double perSecond)
{
    const double elapsed = std::chrono::duration<double>(now - refilled).count();
    tokens = std::min(burst, tokens + elapsed * perSecond);
    refilled = now;
    return tokens >= 1;
}
