#pragma once

// Building and reading the discovery messages (docs/protocol.md). Shared by the search library
// and the device simulator so that the document layout exists in one place only.

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
        RestoreResult
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
};

Incoming ReadMessage(const std::string& text);

std::string BuildProbe(std::uint32_t seq, int copy, int spreadMs);
std::string BuildResult(const DeviceFields& device);
std::string BuildSetIpResult(const std::string& mac, int result);
std::string BuildBye(const std::string& mac);
std::string BuildRestore(const std::string& mac, std::uint32_t id);
std::string BuildRestoreResult(const std::string& mac, std::uint32_t id, bool restored);

} // namespace scanix::proto
