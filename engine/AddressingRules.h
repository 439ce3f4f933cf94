#pragma once

#include <cstdint>

// Result codes of the addressing rule check, in the order the rules run.
enum NetParamCode
{
    NETPARAM_OK = 0,
    NETPARAM_IP_HOST_ALL_ONES = 1,
    NETPARAM_IP_HOST_ALL_ZEROS = 2,
    NETPARAM_LOOPBACK = 3,
    NETPARAM_ROUTE_INVALID = 4,
    NETPARAM_MASK_INVALID = 5,
    NETPARAM_DIFFERENT_SEGMENT = 6,
    NETPARAM_GATEWAY_HOST_ALL_ONES = 7,
    NETPARAM_GATEWAY_HOST_ALL_ZEROS = 8
};

// Tests an IPv4 address, mask and gateway against the addressing rules before they are
// sent to a device. All three are in network byte order, as inet_addr returns them
// (malformed text is 255.255.255.255 and fails the first rules). Sets code to 0 on
// entry and to the first failing rule's code; returns true when every rule passes.
bool CheckAddressingRules(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway, int& code);
