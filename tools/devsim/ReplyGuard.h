#pragma once

// What keeps a device from serving as an amplifier on its segment: it answers each probe round
// (a searcher's seq) once, whatever the copies of the probe; it spreads its answer over at
// least kMinSpreadMs whatever the probe asks; it holds at most one answer pending (a reply goes
// to the group, so one reply serves every searcher listening); and it answers at most at a
// bounded rate. One guard serves a whole simulated fleet, with the state of each device.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>

class ReplyGuard
{
public:
    using Clock = std::chrono::steady_clock;

    struct Limits
    {
        int minSpreadMs = 250;
        int maxSpreadMs = 5000;
        // A token bucket per device: this many replies at once, refilled at perSecond.
        double burst = 5;
        double perSecond = 1;
        // Rounds a device remembers having answered, and for how long.
        std::size_t roundsRemembered = 16;
        std::chrono::seconds roundMemory{60};
    };

    enum class Decision
    {
        Schedule, // reply at *due (a new reply, or the pending one moved earlier)
        Pending,  // the reply already pending answers this round too
        Copy,     // this round was answered (or is being answered) already
        Limited   // over the device's reply rate: no reply
    };

    struct Counts
    {
        std::uint64_t scheduled = 0;
        std::uint64_t pending = 0;
        std::uint64_t copies = 0;
        std::uint64_t limited = 0;
    };

    explicit ReplyGuard(Limits limits);

    // The spread a device uses for a probe that asks `spreadMs` (never below the floor).
    int Spread(int spreadMs) const;
    // A probe of round `seq` asking `spreadMs` reached device `mac` at `now`.
    Decision Probe(const std::string& mac,
                   std::uint32_t seq,
                   int spreadMs,
                   Clock::time_point now,
                   std::mt19937& random,
                   Clock::time_point* due);
    // A reply of `mac` scheduled for `due` is due: true when it is still the device's pending
    // reply (and now no longer pending), false for one superseded by an earlier schedule.
    bool Take(const std::string& mac, Clock::time_point due);
    // A device went away or changed so that its pending reply no longer matters.
    void Forget(const std::string& mac);
    const Counts& Totals() const;

private:
    struct Device
    {
        std::deque<std::pair<std::uint32_t, Clock::time_point>> rounds;
        double tokens = 0;
        Clock::time_point refilled;
        bool hasPending = false;
        Clock::time_point due;
    };

    bool Answered(Device& device, std::uint32_t seq, Clock::time_point now);
    bool TakeToken(Device& device, Clock::time_point now);

    Limits m_limits;
    std::unordered_map<std::string, Device> m_devices;
    Counts m_counts;
};
