#pragma once

// What the searcher knows about each device it has heard: the fingerprint of the report last
// delivered, the periodic round it was last heard in, and whether it was delivered since the
// last search was started. It decides which callback kind a report deserves. Starting a search
// anew keeps all of it, so a caller that kept its list still learns of changes and of silence
// across the restart. Bounded: a flood of invented MACs cannot grow it past its capacity.

#include <cstddef>
#include <cstdint>
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
        Full          // a new MAC while the table is full: dropped
    };

    explicit DeviceTable(std::size_t capacity);

    // A reply, hello or announce with the given fingerprint, heard during `round`.
    Verdict Report(const std::string& mac, std::uint64_t fingerprint, std::uint64_t round);
    // A search starts anew: every device's next report is Found (or FoundChanged) again.
    void Restart();
    // A bye: true when the device was known (and is now forgotten).
    bool Bye(const std::string& mac);
    // Devices last heard before `round` - `silentRounds`, removed and returned.
    std::vector<std::string> Expire(std::uint64_t round, std::uint64_t silentRounds);
    void Clear();
    std::size_t Size() const;

private:
    struct Entry
    {
        std::uint64_t fingerprint = 0;
        std::uint64_t lastRound = 0;
        std::uint64_t search = 0;
    };

    std::size_t m_capacity;
    std::uint64_t m_search = 0;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace scanix::search
