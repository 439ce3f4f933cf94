#pragma once

// The simulated devices of one simulator process, generated from a count and a seed or read
// from a fleet file. The lock guards every device: the discovery loop holds it while it reads
// or changes a device, and so must any other server that shares the fleet (for example an
// HTTP port-configuration server reading and writing SimDevice::httpPort).

#include "SimDevice.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct FleetPlan
{
    int count = 7;          // devices of the maker's types, the types taken in turn
    int foreign = 0;        // devices of other makers' series, appended
    std::uint32_t seed = 1; // varies MACs, versions and times; two simulators need two seeds
    std::string firstIp = "192.168.1.64";
    int prefix = 24;
    std::string gateway; // empty: the subnet's first host
    std::string types;   // comma-separated subset of the maker's types; empty: all seven
};

class Fleet
{
public:
    // The seven device types of the maker and the foreign series used for refusal tests.
    static const std::vector<std::string>& MakerTypes();
    static const std::vector<std::string>& ForeignTypes();

    // False with a reason in `error` for an impossible plan (bad address, unknown type...).
    bool Generate(const FleetPlan& plan, std::string& error);
    // One device per line as key=value pairs; fields not given are generated as by `plan`.
    bool Load(const std::string& path, const FleetPlan& plan, std::string& error);

    std::mutex& Lock()
    {
        return m_lock;
    }
    // Call with Lock() held.
    std::vector<SimDevice>& Devices()
    {
        return m_devices;
    }
    SimDevice* Find(const std::string& mac);
    // The pin ("sha256//" and the Base64 SHA-256 of the public key) of the web interface's TLS
    // key, carried in authenticated answers of HTTPS devices; empty without one. Lock() held.
    std::string tlsKey;

private:
    SimDevice Make(const FleetPlan& plan, std::uint32_t index, const std::string& series) const;

    std::mutex m_lock;
    std::vector<SimDevice> m_devices;
};
