#include "ReplyGuard.h"

#include <algorithm>

ReplyGuard::ReplyGuard(Limits limits)
    : m_limits(limits)
{}

int ReplyGuard::Spread(int spreadMs) const
{
    return std::clamp(spreadMs, m_limits.minSpreadMs, m_limits.maxSpreadMs);
}

ReplyGuard::Decision ReplyGuard::Probe(const std::string& mac,
                                       std::uint32_t seq,
                                       int spreadMs,
                                       Clock::time_point now,
                                       std::mt19937& random,
                                       Clock::time_point* due)
{
    auto [found, added] = m_devices.try_emplace(mac);
    Device& device = found->second;
    if (added) {
        device.tokens = m_limits.burst;
        device.refilled = now;
    }
    if (Answered(device, seq, now)) {
        ++m_counts.copies;
        return Decision::Copy;
    }
    const Clock::time_point latest = now + std::chrono::milliseconds(Spread(spreadMs));
    if (device.hasPending && device.due <= latest) {
        ++m_counts.pending;
        return Decision::Pending;
    }
    // A new reply, or the pending one brought forward for a searcher that waits less long:
    // either is one more datagram's worth of the device's rate.
    if (!TakeToken(device, now)) {
        ++m_counts.limited;
        return device.hasPending ? Decision::Pending : Decision::Limited;
    }
    const int delay = std::uniform_int_distribution<int>(0, Spread(spreadMs))(random);
    device.hasPending = true;
    device.due = now + std::chrono::milliseconds(delay);
    *due = device.due;
    ++m_counts.scheduled;
    return Decision::Schedule;
}

bool ReplyGuard::Take(const std::string& mac, Clock::time_point due)
{
    const auto found = m_devices.find(mac);
    if (found == m_devices.end() || !found->second.hasPending || found->second.due != due) {
        return false;
    }
    found->second.hasPending = false;
    return true;
}

void ReplyGuard::Forget(const std::string& mac)
{
    const auto found = m_devices.find(mac);
    if (found != m_devices.end()) {
        found->second.hasPending = false;
    }
}

const ReplyGuard::Counts& ReplyGuard::Totals() const
{
    return m_counts;
}

// Remembers the round as answered; true when it was already.
bool ReplyGuard::Answered(Device& device, std::uint32_t seq, Clock::time_point now)
{
    while (!device.rounds.empty() && (device.rounds.size() >= m_limits.roundsRemembered ||
                                      now - device.rounds.front().second > m_limits.roundMemory)) {
        device.rounds.pop_front();
    }
    const bool seen = std::any_of(
        device.rounds.begin(), device.rounds.end(), [seq](const auto& round) { return round.first == seq; });
    if (!seen) {
        device.rounds.emplace_back(seq, now);
    }
    return seen;
}

bool ReplyGuard::TakeToken(Device& device, Clock::time_point now)
{
    const double elapsed = std::chrono::duration<double>(now - device.refilled).count();
    device.tokens = std::min(m_limits.burst, device.tokens + elapsed * m_limits.perSecond);
    device.refilled = now;
    if (device.tokens < 1) {
        return false;
    }
    device.tokens -= 1;
    return true;
}
