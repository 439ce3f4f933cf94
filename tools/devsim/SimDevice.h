#pragma once

// One simulated device: everything it reports, its password and what it supports. Plain data
// with the few rules a device applies to itself, so that the discovery loop and a
// configuration server (HTTP, for port settings) can share one model under the fleet's lock.

#include "Messages.h"

#include <chrono>
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
    int activated = 1;
    std::string password;
    bool canRestore = true;
    // Set for cameras when the simulator serves HTTP: like real ones, they then take new
    // ports only through their configuration interface, not from "searchSetIP".
    bool portsOverHttpOnly = false;
    std::chrono::system_clock::time_point bootedAt;
    bool online = true;

    // The report as it goes on the wire at `now` (running time grows with it).
    scanix::proto::DeviceFields Fields(const std::string& event, std::chrono::system_clock::time_point now) const;
    // Applies a "searchSetIP" request: 0 when applied, 1 when refused (wrong password, bad values).
    int ApplySetIp(const std::map<std::string, std::string>& request);
    // Restores the factory password; false for a device type that cannot.
    bool RestoreDefault();
    // Sets one field by the key used in fleet files and control commands; false for an
    // unknown key or a bad value.
    bool Set(const std::string& key, const std::string& value);
};

// The password every device returns to on a restore.
inline constexpr const char* kFactoryPassword = "12345";
