#pragma once

// One simulated device: everything it reports, its password and what it supports. Plain data
// with the few rules a device applies to itself, so that the discovery loop and a
// configuration server (HTTP, for port settings) can share one model under the fleet's lock.

#include "Messages.h"

#include <chrono>
#include <deque>
#include <map>
#include <string>

struct SimDevice
{
    std::string mac; // upper-case, the identity
    std::string series;
    std::string ip;
    std::string mask;
    std::string gateway;
    bool dhcp = false;
    std::string ip2;
    std::string dns1;
    std::string dns2;
    std::string encryptType;
    int dataPort = 0;
    int httpPort = 0;
    int rtspPort = 554; // negative: the device does not report one
    int httpType = 0;   // 1: its web page is served over HTTPS
    std::string softwareVer;
    std::string build; // empty: no build element
    std::string buildDate;
    std::string hardwareVer;
    std::string kernelVer;
    std::string model;
    std::string name;
    int activated = 0; // the wire value: 0 activated, 1 not activated (no password yet)
    std::string password;
    bool canRestore = true;
    // Speaks only the old protocol: no key, the password in clear, restore without a button.
    bool legacy = false;

    // The authenticated protocol. The key pair is the device's identity; salt and verifier
    // (scrypt of the password) are what it keeps of its password. The password text above is
    // the simulator's own knowledge, used for the web interface's Basic authentication.
    std::string privateKey;
    std::string publicKey;
    std::string salt;     // empty while not activated
    std::string verifier; // derived from salt and password when first needed
    struct Nonce
    {
        std::string value;
        std::chrono::steady_clock::time_point expires;
    };
    std::deque<Nonce> nonces; // issued, not yet used
    struct Replay
    {
        std::string request;
        std::string answer;
    };
    std::map<std::string, Replay> answered; // by client and device nonce
    std::deque<std::string> answeredOrder;
    std::deque<std::chrono::steady_clock::time_point> badProofs;
    std::chrono::steady_clock::time_point lockedUntil{};
    std::chrono::steady_clock::time_point restoreWindowUntil{};
    std::map<std::string, std::string> reportKeys; // by searcher key

    // The key that tags this device's reports to the searcher whose probe carried `searcherKey`.
    const std::string& ReportKeyFor(const std::string& searcherKey);
    // Set for cameras when the simulator serves HTTP: like real ones, they then take new
    // ports only through their configuration interface, not from "searchSetIP".
    bool portsOverHttpOnly = false;
    std::chrono::system_clock::time_point bootedAt;
    bool online = true;

    // The report as it goes on the wire at `now` (running time grows with it).
    scanix::proto::DeviceFields Fields(const std::string& event, std::chrono::system_clock::time_point now) const;
    // Applies a "searchSetIP" request: 0 when applied, 1 when refused (wrong password, bad values).
    int ApplySetIp(const std::map<std::string, std::string>& request);
    // Restores the factory password (old protocol) or returns to "not activated" (new);
    // false for a device type that cannot.
    bool RestoreDefault();
    bool Activated() const
    {
        return activated == 0;
    }
    // Makes the key pair when missing, and a salt for an activated device (a new one after
    // its password changed); clears salt and verifier of a device that is not activated.
    void Provision();
    // The verifier, derived now if needed; empty for a device without a password.
    const std::string& Verifier();
    // Sets one field by the key used in fleet files and control commands; false for an
    // unknown key or a bad value.
    bool Set(const std::string& key, const std::string& value);
};

// The password every device returns to on a restore.
inline constexpr const char* kFactoryPassword = "12345";
