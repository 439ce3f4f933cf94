#pragma once

// What keeps a device from serving as an amplifier on its segment: it answers each probe round
// of a searcher once, whatever the copies of the probe; it spreads its answer over at least
// kMinSpreadMs whatever the probe asks; it holds at most one answer pending per searcher and
// tracks a bounded number of searchers; and it answers at a bounded rate, per searcher and in
// all. A reply is tagged for the searcher whose probe it answers, so one searcher's reply is of
// no use to another: each searcher key is a searcher of its own. Probes without a key (and any
// probe to a device that does not tag its replies) share one entry, as an untagged reply to the
// group serves every such searcher. One guard serves a whole simulated fleet.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class ReplyGuard
{
public:
    using Clock = std::chrono::steady_clock;

    struct Limits
    {
        int minSpreadMs = 250;
        int maxSpreadMs = 5000;
        // A token bucket per searcher of each device: this many replies at once, refilled at
        // perSecond.
        double burst = 5;
        double perSecond = 1;
        // And one per device over all its searchers, so that probes under ever new keys cannot
        // draw more than this from it; twice a searcher's, so that a periodic search and a
        // second searcher at the same time are both answered.
        double deviceBurst = 10;
        double devicePerSecond = 2;
        // Searchers a device tracks at a time; a new one takes the place of the longest silent.
        std::size_t searchersTracked = 8;
        // Rounds a device remembers having answered a searcher, and for how long.
        std::size_t roundsRemembered = 16;
        std::chrono::seconds roundMemory{60};
    };

    enum class Decision
    {
        Schedule, // reply at *due (a new reply, or the pending one moved earlier)
        Pending,  // the reply already pending for this searcher answers this round too
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
    // Replies a device may have pending at once: one per searcher it tracks.
    std::size_t MostPending() const;
    // A probe of round `seq` of the searcher `searcher` (its key, empty for an untagged answer)
    // asking `spreadMs` reached device `mac` at `now`.
    Decision Probe(const std::string& mac,
                   const std::string& searcher,
                   std::uint32_t seq,
                   int spreadMs,
                   Clock::time_point now,
                   std::mt19937& random,
                   Clock::time_point* due);
    // A reply of `mac` to `searcher` scheduled for `due` is due: true when it is still the
    // pending reply (and now no longer pending), false for one superseded by an earlier schedule
    // or whose searcher was forgotten.
    bool Take(const std::string& mac, const std::string& searcher, Clock::time_point due);
    // The reply of `mac` to `searcher` was not queued: the next round must not count on it.
    void Forget(const std::string& mac, const std::string& searcher);
    const Counts& Totals() const;

private:
    struct Bucket
    {
        double tokens = 0;
        Clock::time_point refilled;
        bool Refill(Clock::time_point now, double burst, double perSecond);
    };
    struct Searcher
    {
        std::string key;
        std::deque<std::pair<std::uint32_t, Clock::time_point>> rounds;
        Bucket bucket;
        Clock::time_point lastProbe;
        bool hasPending = false;
        Clock::time_point due;
    };
    struct Device
    {
        Bucket bucket;
        std::vector<Searcher> searchers;
    };

    Searcher& Track(Device& device, const std::string& key, Clock::time_point now);
    Searcher* Find(const std::string& mac, const std::string& key);
    bool Answered(Searcher& searcher, std::uint32_t seq, Clock::time_point now);

    Limits m_limits;
    std::unordered_map<std::string, Device> m_devices;
    Counts m_counts;
};
