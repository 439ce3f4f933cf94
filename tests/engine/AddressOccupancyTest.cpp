// Whose an address is: the host's own list (not a bind, which ip_nonlocal_bind makes succeed
// for any address), the known devices, and the device's own addresses.
#include "AddressOccupancy.h"

#include "DeviceAddress.h"
#include "HostNamespace.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

namespace {

std::uint32_t Address(const char* text)
{
    return inet_addr(text);
}

DEVICE_INFO Device(const char* mac, const char* ip, const char* ip2 = "169.254.1.1")
{
    DEVICE_INFO device{};
    CopyText(device.mac, mac);
    CopyText(device.ipAddr, ip);
    CopyText(device.ipAddr2, ip2);
    return device;
}

class AddressOccupancy : public testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PRIVATE_NETWORK();
        // A link whose far end holds no address: nobody answers for the rest of its subnet.
        ASSERT_TRUE(RunCommand("ip link add scx-own type veth peer name scx-far && "
                               "ip addr add 10.20.0.1/24 dev scx-own && ip link set scx-own up && "
                               "ip link set scx-far up"));
        // Inside this process's own namespace only: any address may now be bound.
        ASSERT_TRUE(RunCommand("echo 1 > /proc/sys/net/ipv4/ip_nonlocal_bind"));
    }
    void TearDown() override
    {
        if (HavePrivateNetwork()) {
            RunCommand("echo 0 > /proc/sys/net/ipv4/ip_nonlocal_bind");
            RunCommand("ip link del scx-own");
        }
    }
};

TEST_F(AddressOccupancy, TheHostsOwnAddressesComeFromItsListEvenWithNonLocalBind)
{
    EXPECT_FALSE(IsOffHostAddress(Address("10.20.0.1")));
    EXPECT_FALSE(IsOffHostAddress(Address("127.0.0.5")));
    EXPECT_FALSE(IsOffHostAddress(Address("0.0.0.0")));
    EXPECT_TRUE(IsOffHostAddress(Address("10.20.0.2")));
    EXPECT_TRUE(IsOffHostAddress(Address("192.168.1.64")));
}

TEST_F(AddressOccupancy, NamesTheHolderOfAnAddress)
{
    const std::vector<DEVICE_INFO> devices{Device("02:00:00:00:00:01", "10.20.0.64"),
                                           Device("02:00:00:00:00:02", "10.20.0.65", "169.254.9.9")};
    const std::string self = "02:00:00:00:00:01";
    const struct
    {
        const char* ip;
        AddressHolder::Kind kind;
        const char* holder;
    } cases[] = {
        {"10.20.0.1", AddressHolder::Host, "scx-own"},
        {"10.20.0.65", AddressHolder::Device, "02:00:00:00:00:02"},
        {"169.254.9.9", AddressHolder::Device, "02:00:00:00:00:02"},
        {"10.20.0.64", AddressHolder::Free, ""}, // the device's own address
        {"10.20.0.99", AddressHolder::Free, ""}, // nobody answers on the segment
        {"not an address", AddressHolder::Free, ""},
    };
    for (const auto& c : cases) {
        const AddressHolder found = FindAddressHolder(c.ip, self, devices, 200);
        EXPECT_EQ(found.kind, c.kind) << c.ip;
        EXPECT_EQ(found.holder, c.holder) << c.ip;
    }
    // The lower-case MAC of a typed request still names the device itself.
    EXPECT_EQ(FindAddressHolder("10.20.0.64", "02:00:00:00:00:01", devices, 0).kind, AddressHolder::Free);
    // An address off every local subnet is not asked on the segment.
    EXPECT_FALSE(FindAddressHolder("172.31.0.9", self, devices, 200).segmentAsked);
    EXPECT_TRUE(FindAddressHolder("10.20.0.99", self, devices, 200).segmentAsked);
}

} // namespace
