#pragma once

// Who already holds an IPv4 address a device is about to be given: this host, another known
// device, or something on the local segment that answers for it.

#include "DeviceInfo.h"

#include <string>
#include <vector>

struct AddressHolder
{
    enum Kind
    {
        Free,
        Host,      // holder: the interface of this host that has the address
        Device,    // holder: the MAC of the known device that reports it
        Neighbour, // holder: the hardware address that answered for it on the segment
    };
    Kind kind = Free;
    std::string holder;
    // Whether the segment was asked: only for an address on a subnet of one of the host's
    // interfaces, and only when a probe time was given.
    bool segmentAsked = false;
};

// Looks for a holder of ip (dotted text) other than the device mac itself, among the host's
// own addresses, devices (the known devices, the one being changed included) and, within
// probeMs (0: not at all), the answers of the local segment. An address the device already
// has, or one that answers from the same hardware as the device's present address, is the
// device's own. A text that is not an address is Free: the rule check refuses it.
AddressHolder
FindAddressHolder(const std::string& ip, const std::string& mac, const std::vector<DEVICE_INFO>& devices, int probeMs);
