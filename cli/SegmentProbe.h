#pragma once

// Whether addresses are in use by hosts that no search reports (a PC, a printer, another
// maker's camera), found without privileges: a TCP connection attempt to each, where an
// accepted or a refused connection both mean a host is there, and the kernel's neighbour table,
// which lists hosts on the local link that answered address resolution even when they drop
// the connection attempt.

#include <chrono>
#include <cstdint>
#include <set>
#include <vector>

// Candidates and result in host byte order; at most kMaxProbed candidates are tried, the rest
// are left out of the result. Returns within about `wait`.
constexpr std::size_t kMaxProbed = 512;
std::set<std::uint32_t> AnsweringAddresses(const std::vector<std::uint32_t>& candidates,
                                           std::chrono::milliseconds wait);
