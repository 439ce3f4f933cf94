#include "AddressingRules.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

namespace {

struct RuleCase
{
    const char* ip;
    const char* mask;
    const char* gateway;
    int code;
};

std::ostream& operator<<(std::ostream& os, const RuleCase& c)
{
    return os << c.ip << " / " << c.mask << " / " << c.gateway << " -> " << c.code;
}

class AddressingRules : public testing::TestWithParam<RuleCase>
{
};

TEST_P(AddressingRules, GivesTheFirstFailingRule)
{
    const RuleCase& c = GetParam();
    int code = -1;
    const bool ok = CheckAddressingRules(inet_addr(c.ip), inet_addr(c.mask), inet_addr(c.gateway), code);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(ok, c.code == 0);
}

// The worked cases.
INSTANTIATE_TEST_SUITE_P(WorkedCases,
                         AddressingRules,
                         testing::Values(RuleCase{"192.168.1.10", "255.255.255.0", "192.168.1.1", 0},
                                         RuleCase{"192.168.1.255", "255.255.255.0", "192.168.1.1", 1},
                                         RuleCase{"192.168.1.0", "255.255.255.0", "192.168.1.1", 2},
                                         RuleCase{"192.168.1.10", "255.255.255.0", "192.168.1.255", 7},
                                         RuleCase{"192.168.1.10", "255.255.255.0", "192.168.1.0", 8},
                                         RuleCase{"192.168.1.10", "255.255.255.0", "0.0.0.0", 8},
                                         RuleCase{"127.0.0.1", "255.0.0.0", "127.0.0.254", 3},
                                         RuleCase{"224.0.0.5", "255.255.255.0", "224.0.0.1", 4},
                                         RuleCase{"10.0.0.5", "255.0.255.0", "10.0.0.1", 5},
                                         RuleCase{"192.168.1.10", "0.0.0.128", "192.168.1.1", 5},
                                         RuleCase{"192.168.1.10", "255.255.255.0", "192.168.2.1", 6},
                                         RuleCase{"10.1.2.3", "255.255.255.255", "10.1.2.4", 1}));

INSTANTIATE_TEST_SUITE_P(EdgeCases,
                         AddressingRules,
                         testing::Values(
                             // A /32 mask leaves no host part: always all ones.
                             RuleCase{"172.16.0.10", "255.255.255.255", "172.16.0.1", 1},
                             // A /31 mask: even address all zeros, odd address all ones.
                             RuleCase{"10.0.0.4", "255.255.255.254", "10.0.0.5", 2},
                             RuleCase{"10.0.0.5", "255.255.255.254", "10.0.0.4", 1},
                             // Longer masks than the class minimum pass.
                             RuleCase{"10.1.2.3", "255.255.255.0", "10.1.2.1", 0},
                             RuleCase{"192.168.1.10", "255.255.0.0", "192.168.0.1", 0},
                             RuleCase{"169.254.1.1", "255.255.0.0", "169.254.0.1", 0},
                             // Order matters: the host-part rule comes before loopback.
                             RuleCase{"127.0.0.0", "255.0.0.0", "127.0.0.1", 2},
                             // A loopback gateway alone is caught.
                             RuleCase{"10.0.0.5", "255.255.255.0", "127.0.0.1", 3},
                             // First octet 0 or above 223, for the address and for the gateway.
                             RuleCase{"0.1.2.3", "255.255.255.0", "0.1.2.1", 4},
                             RuleCase{"240.0.0.5", "255.255.255.0", "240.0.0.1", 4},
                             RuleCase{"192.168.1.10", "255.0.0.0", "230.168.1.1", 4},
                             // A class-C address needs at least 0.0.0.224 as a number.
                             RuleCase{"192.168.1.10", "0.0.0.224", "192.168.1.1", 5},
                             RuleCase{"10.0.0.5", "0.0.0.192", "10.0.0.1", 5},
                             // Malformed text converts to all ones.
                             RuleCase{"192.168.1.10", "255.255.255.0", "bad", 7},
                             RuleCase{"not-an-address", "255.255.255.0", "192.168.1.1", 1}));

} // namespace
