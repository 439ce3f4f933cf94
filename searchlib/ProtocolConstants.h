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

// The authenticated configuration protocol. A device that speaks it announces an "auth" element
// in its reports; "searchSetIP" and "scanixRestore" above are then never sent to it.
inline constexpr const char* kAuthVersion = "2";
inline constexpr const char* kChallengeRoot = "scanixChallenge";
inline constexpr const char* kChallengeResultRoot = "scanixChallengeResult";
inline constexpr const char* kSecureSetIpRoot = "scanixSetIp";
inline constexpr const char* kSecureSetIpResultRoot = "scanixSetIpResult";
inline constexpr const char* kActivateRoot = "scanixActivate";
inline constexpr const char* kActivateResultRoot = "scanixActivateResult";
inline constexpr const char* kResetRoot = "scanixResetPassword";
inline constexpr const char* kResetResultRoot = "scanixResetPasswordResult";
// The document the program hands to SCANIX_SET_CONFIG to give a device its first password.
inline constexpr const char* kActivateRequestRoot = "scanixSetPassword";

// Why a device or the library refused a request ("reason" of an answer).
inline constexpr const char* kReasonBadProof = "bad-proof";
inline constexpr const char* kReasonLocked = "locked";
inline constexpr const char* kReasonNotActivated = "not-activated";
inline constexpr const char* kReasonActivated = "already-activated";
inline constexpr const char* kReasonButton = "press-reset-button";
inline constexpr const char* kReasonUnsupported = "unsupported";
inline constexpr const char* kReasonBadValues = "bad-values";
inline constexpr const char* kReasonStale = "stale";
inline constexpr const char* kReasonLegacy = "legacy-device";
inline constexpr const char* kReasonWeakPassword = "weak-password";
inline constexpr const char* kReasonUnknownDevice = "unknown-device";

// SCANIX_SET_DevRestoreDefault: the low byte is non-zero on success; a refusal's reason rides
// in the second byte.
inline constexpr int kRestoreRefusedButton = 1 << 8;
inline constexpr int kRestoreRefusedUnsupported = 2 << 8;
inline constexpr int kRestoreRefusedLegacy = 3 << 8;

// The environment variable that lets the library configure a device of the old protocol, which
// carries the password in clear.
inline constexpr const char* kLegacyOptInVariable = "SCANIX_ALLOW_CLEARTEXT_PASSWORD";

// Values of the "event" element of a "multicastSearchResult" document.
inline constexpr const char* kEventReply = "reply";
inline constexpr const char* kEventHello = "hello";
inline constexpr const char* kEventAnnounce = "announce";
inline constexpr const char* kEventSetIpResult = "setIPResult";

// A probe carries the longest time in milliseconds a device may wait before it answers.
inline constexpr int kDefaultReplySpreadMs = 250;
inline constexpr int kMaxReplySpreadMs = 5000;

} // namespace scanix::proto
