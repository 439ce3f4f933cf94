#pragma once

// The wire constants of the discovery protocol (docs/protocol.md), shared by the search library
// and the device simulator so that both sides always agree.

#include <cstddef>
#include <cstdint>

namespace scanix::proto {

// Administratively scoped group: it never leaves the site, and TTL 1 keeps it on the segment.
inline constexpr const char* kGroup = "239.255.37.81";
// Requests (probe, searchSetIP, restore) go to the device port; everything devices send goes to
// the searcher port. Two ports keep devices from hearing each other's replies and searchers from
// hearing their own or other searchers' probes, even with multicast loop-back on.
inline constexpr std::uint16_t kDevicePort = 37810;
inline constexpr std::uint16_t kSearcherPort = 37811;
inline constexpr int kTtl = 1;

// Largest datagram either side accepts; anything longer is dropped unread.
inline constexpr std::size_t kMaxDatagram = 8192;

// Message roots. A device's reply, hello, announce and configuration answer are all
// "multicastSearchResult" documents; the others are ours alone.
inline constexpr const char* kProbeRoot = "scanixProbe";
inline constexpr const char* kResultRoot = "multicastSearchResult";
inline constexpr const char* kByeRoot = "scanixBye";
inline constexpr const char* kSetIpRoot = "searchSetIP";
inline constexpr const char* kRestoreRoot = "scanixRestore";
inline constexpr const char* kRestoreResultRoot = "scanixRestoreResult";

// Values of the "event" element of a "multicastSearchResult" document.
inline constexpr const char* kEventReply = "reply";
inline constexpr const char* kEventHello = "hello";
inline constexpr const char* kEventAnnounce = "announce";
inline constexpr const char* kEventSetIpResult = "setIPResult";

// A probe carries the longest time in milliseconds a device may wait before it answers.
inline constexpr int kDefaultReplySpreadMs = 250;
inline constexpr int kMaxReplySpreadMs = 5000;

} // namespace scanix::proto
