#pragma once

// What the searcher knows about each device it has heard since the last search was started:
// the fingerprint of its last report and the periodic round it was last heard in. It decides
// which callback kind a report deserves. Bounded: a flood of invented MACs cannot grow it past
// its capacity.

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
        Found,   // first report of this MAC
        Changed, // content differs from the last report
        Same,    // nothing new
        Full     // a new MAC while the table is full: dropped
    };

    explicit DeviceTable(std::size_t capacity);

    // A reply, hello or announce with the given fingerprint, heard during `round`.
    Verdict Report(const std::string& mac, std::uint64_t fingerprint, std::uint64_t round);
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
    };

    std::size_t m_capacity;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace scanix::search
