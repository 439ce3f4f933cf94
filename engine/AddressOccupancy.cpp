#include "AddressOccupancy.h"

#include "DeviceAddress.h"
#include "NeighbourProbe.h"

#include <arpa/inet.h>
#include <cstdint>
#include <strings.h>

namespace {

std::uint32_t Parse(const char* text)
{
    in_addr addr{};
    return inet_pton(AF_INET, text, &addr) == 1 ? addr.s_addr : 0;
}

bool SameMac(const char* a, const std::string& b)
{
    return strcasecmp(a, b.c_str()) == 0;
}

bool HasAddress(const DEVICE_INFO& device, std::uint32_t address)
{
    return Parse(device.ipAddr) == address || Parse(device.ipAddr2) == address;
}

// Whether address lies on a subnet of one of the host's interfaces (loopback aside), so that
// asking for it stays on the local segment.
bool OnLocalSegment(std::uint32_t address, const std::vector<HostAddress>& own)
{
    for (const HostAddress& host : own) {
        const bool loopback = (ntohl(host.address) >> 24) == 127;
        if (!loopback && host.mask != 0 && host.mask != 0xFFFFFFFFu &&
            (host.address & host.mask) == (address & host.mask)) {
            return true;
        }
    }
    return false;
}

} // namespace

AddressHolder
FindAddressHolder(const std::string& ip, const std::string& mac, const std::vector<DEVICE_INFO>& devices, int probeMs)
{
    AddressHolder found;
    const std::uint32_t address = Parse(ip.c_str());
    if (address == 0) {
        return found;
    }
    const DEVICE_INFO* self = nullptr;
    for (const DEVICE_INFO& device : devices) {
        if (SameMac(device.mac, mac)) {
            self = &device;
        }
    }
    if (self != nullptr && HasAddress(*self, address)) {
        return found;
    }
    const std::vector<HostAddress> own = HostAddresses();
    for (const HostAddress& host : own) {
        if (host.address == address) {
            found.kind = AddressHolder::Host;
            found.holder = host.interface;
            return found;
        }
    }
    for (const DEVICE_INFO& device : devices) {
        if (&device != self && HasAddress(device, address)) {
            found.kind = AddressHolder::Device;
            found.holder = device.mac;
            return found;
        }
    }
    if (probeMs <= 0 || !OnLocalSegment(address, own)) {
        return found;
    }
    found.segmentAsked = true;
    // The device's present address is asked too: what answers from the same hardware (a
    // device with several addresses on one port) is the device itself.
    std::vector<std::uint32_t> asked{address};
    const std::uint32_t present = self != nullptr ? Parse(self->ipAddr) : 0;
    if (present != 0 && OnLocalSegment(present, own)) {
        asked.push_back(present);
    }
    const std::vector<NeighbourAnswer> answers = ProbeNeighbours(asked, probeMs);
    const std::string& answered = answers.front().mac;
    const bool fromSelf =
        (self != nullptr && SameMac(self->mac, answered)) || (answers.size() > 1 && answers.back().mac == answered);
    if (!answered.empty() && !fromSelf) {
        found.kind = AddressHolder::Neighbour;
        found.holder = answered;
    }
    return found;
}
