#pragma once

// What the searcher knows about each device it has heard: the fingerprint of the report last
// delivered, the periodic round it was last heard in, and whether it was delivered since the
// last search was started. It decides which callback kind a report deserves. Starting a search
// anew keeps all of it, so a caller that kept its list still learns of changes and of silence
// across the restart. Bounded: a flood of invented MACs cannot grow it past its capacity, and
// cannot hide its overflow either (every report refused for want of room is counted). Devices
// that answer our probes are kept in preference: when the table is full, an answer evicts the
// oldest entry never confirmed by an answer (heard only unasked: hello, announce, late
// replies), else the device heard longest ago that has not reported since the search started.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace scanix::search {

class DeviceTable
{
public:
    enum class Verdict
    {
        Found,        // first report of this MAC since the search was started
        FoundChanged, // as Found, and the content differs from the report delivered before
        Changed,      // content differs from the last report
        Same,         // nothing new
        Full          // a new MAC while the table is full: dropped and counted
    };

    explicit DeviceTable(std::size_t capacity);

    // A reply, hello or announce with the given fingerprint, heard during `round`. `answer`:
    // the report is a reply to one of our own probes, heard while that search was listening.
    // When a new answer took the place of another device, *evicted names that device (it is
    // forgotten, and its caller should hear it is gone).
    Verdict Report(const std::string& mac,
                   std::uint64_t fingerprint,
                   std::uint64_t round,
                   bool answer = false,
                   std::string* evicted = nullptr);
    // A search starts anew: every device's next report is Found (or FoundChanged) again.
    void Restart();
    // A bye: true when the device was known (and is now forgotten).
    bool Bye(const std::string& mac);
    // Devices last heard before `round` - `silentRounds`, removed and returned.
    std::vector<std::string> Expire(std::uint64_t round, std::uint64_t silentRounds);
    void Clear();
    std::size_t Size() const;
    // Reports of new devices refused because the table was full, since it was made.
    std::uint64_t Dropped() const;

private:
    struct Entry
    {
        std::uint64_t fingerprint = 0;
        std::uint64_t lastRound = 0;
        std::uint64_t search = 0;
        // Answered one of our probes at least once.
        bool confirmed = false;
        // Tells this entry from an earlier one of the same MAC in m_unconfirmed.
        std::uint64_t serial = 0;
    };
    struct Unconfirmed
    {
        std::string mac;
        std::uint64_t serial;
    };
    struct Heard
    {
        std::string mac;
        std::uint64_t search;
    };

    // Makes room for an answer by forgetting the oldest unconfirmed device; false when every
    // device is confirmed.
    bool EvictUnconfirmed(std::string* evicted);
    // Makes room by forgetting the device heard longest ago, if it has not reported since the
    // search started; false when every device has.
    bool EvictStale(std::string* evicted);
    void NoteHeard(const std::string& mac);

    std::size_t m_capacity;
    std::uint64_t m_search = 0;
    std::uint64_t m_serial = 0;
    std::uint64_t m_dropped = 0;
    std::unordered_map<std::string, Entry> m_entries;
    // Unconfirmed devices in order of arrival. Entries confirmed or removed since stay here
    // until they reach the front (or the queue is compacted), and are then skipped.
    std::deque<Unconfirmed> m_unconfirmed;
    // Each device's first report in each search, in order (so searches only grow along it).
    // An item whose device reported in a later search since is skipped when it is reached.
    std::deque<Heard> m_heard;
};

} // namespace scanix::search
