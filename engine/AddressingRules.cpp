#include "AddressingRules.h"

#include <cstring>

namespace {

constexpr std::uint32_t kAllOnes = 0xFFFFFFFFu;

// The values are in network order, so their first byte in memory is the first dotted octet,
// whatever the host's byte order.
unsigned firstOctet(std::uint32_t networkOrder)
{
    unsigned char bytes[4];
    std::memcpy(bytes, &networkOrder, sizeof bytes);
    return bytes[0];
}

// The mask as an ordinary number, first octet most significant.
std::uint32_t hostOrder(std::uint32_t networkOrder)
{
    unsigned char b[4];
    std::memcpy(b, &networkOrder, sizeof b);
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
}

bool fails(int& code, int failing)
{
    code = failing;
    return false;
}

} // namespace

bool CheckAddressingRules(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway, int& code)
{
    code = NETPARAM_OK;
    if ((ip | mask) == kAllOnes) {
        return fails(code, NETPARAM_IP_HOST_ALL_ONES);
    }
    if ((ip & ~mask) == 0) {
        return fails(code, NETPARAM_IP_HOST_ALL_ZEROS);
    }
    if ((mask | gateway) == kAllOnes) {
        return fails(code, NETPARAM_GATEWAY_HOST_ALL_ONES);
    }
    if ((gateway & ~mask) == 0) {
        return fails(code, NETPARAM_GATEWAY_HOST_ALL_ZEROS);
    }

    const unsigned ipFirst = firstOctet(ip);
    const unsigned gwFirst = firstOctet(gateway);
    if (ipFirst == 127 || gwFirst == 127) {
        return fails(code, NETPARAM_LOOPBACK);
    }
    if (ipFirst == 0 || ipFirst > 223 || ((gwFirst == 0 || gwFirst > 223) && gateway != 0)) {
        return fails(code, NETPARAM_ROUTE_INVALID);
    }

    // The class minimum compares the whole mask number, so only masks like 0.0.0.x fail it.
    const std::uint32_t maskNumber = hostOrder(mask);
    const std::uint32_t classMinimum = ipFirst >= 192 ? 224u : 192u;
    if (maskNumber < classMinimum) {
        return fails(code, NETPARAM_MASK_INVALID);
    }
    // Contiguity: ones, then only zeros.
    std::uint32_t rest = maskNumber;
    for (int bit = 0; bit < 32 && rest != 0; ++bit) {
        if ((rest & 0x80000000u) == 0) {
            return fails(code, NETPARAM_MASK_INVALID);
        }
        rest <<= 1;
    }

    if ((ip & mask) != (gateway & mask) && gateway != 0) {
        return fails(code, NETPARAM_DIFFERENT_SEGMENT);
    }
    return true;
}
