#pragma once

// Building and reading the discovery messages (docs/protocol.md). Shared by the search library
// and the device simulator so that the document layout exists in one place only.

#include "SecureMessage.h"

#include <cstdint>
#include <map>
#include <string>

namespace scanix::proto {

// Every field a device reports, as the texts that go on the wire.
struct DeviceFields
{
    std::string mac;
    std::string event; // reply, hello or announce
    std::string productSeries;
    std::string ip;
    std::string mask;
    std::string route;
    bool dhcp = false;
    std::string ip2;
    std::string dns1;
    std::string dns2;
    std::string encryptType;
    int dataPort = 0;
    int httpPort = 0;
    int rtspPort = -1; // negative: no rtspPort element
    int httpType = 0;
    std::string bootTime;
    std::string runningTime;
    std::string softwareVer;
    std::string devName;
    std::string hardwareVer;
    int deviceActivated = 0;
    std::string softwareBuildDate;
    std::string kernelVer;
    std::string productModel;
    std::string build; // empty: no build element
    // The authenticated protocol: the device's X25519 key and its password salt (empty while
    // not activated), both hexadecimal. An empty key: a device of the old protocol.
    std::string publicKeyHex;
    std::string saltHex;
    // The nonce of the probe this report answers; with it the report gets an empty tag for
    // TagReport to fill.
    std::string probeNonce;
};

// One received datagram, read once. Fields not used by its type stay at their defaults.
struct Incoming
{
    enum class Type
    {
        Unknown, // not ours, malformed, or a MAC text of the wrong shape
        Probe,
        Result, // reply, hello, announce, or configuration answer (hasSetIpResult)
        Bye,
        SetIp,
        Restore,
        RestoreResult,
        Secure // one of the authenticated protocol's messages: see `secure`
    };

    Type type = Type::Unknown;
    std::string mac; // upper-case; for SetIp the serialNo attribute
    std::string event;
    bool hasSetIpResult = false;
    int setIpResult = 0;
    // Result: a digest of every field the program shows, except those that change on their own
    // (running time, boot time), so that equal digests mean "nothing changed".
    std::uint64_t fingerprint = 0;
    std::uint32_t seq = 0;
    int spreadMs = 0;
    std::uint32_t id = 0;
    bool restored = false;
    std::map<std::string, std::string> attributes; // SetIp: every attribute of the request
    // Result (a report): the "auth" element's key and salt as raw bytes; hasAuth is false for a
    // device of the old protocol. A report whose auth element is damaged is Unknown.
    bool hasAuth = false;
    std::string publicKey;
    std::string salt;
    std::string probeNonce;  // Result: the probe the tag is bound to; Probe: the probe's own
    std::string searcherKey; // Probe: the searcher's X25519 key (raw), empty without one
    SecureMessage secure;
};

Incoming ReadMessage(const std::string& text);

// `keyHex` and `nonceHex` (the searcher's X25519 key, this search's nonce) may be empty.
std::string
BuildProbe(std::uint32_t seq, int copy, int spreadMs, const std::string& keyHex = {}, const std::string& nonceHex = {});
std::string BuildResult(const DeviceFields& device);
std::string BuildSetIpResult(const std::string& mac, int result);
std::string BuildBye(const std::string& mac);
std::string BuildRestore(const std::string& mac, std::uint32_t id);
std::string BuildRestoreResult(const std::string& mac, std::uint32_t id, bool restored);

} // namespace scanix::proto
