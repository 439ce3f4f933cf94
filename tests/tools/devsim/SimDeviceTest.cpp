#include "SimDevice.h"

#include <gtest/gtest.h>

namespace {

SimDevice Camera()
{
    SimDevice d;
    d.mac = "02:5C:01:00:00:00";
    d.series = "QMX_IPC";
    d.ip = "192.168.1.64";
    d.mask = "255.255.255.0";
    d.gateway = "192.168.1.1";
    d.httpPort = 80;
    d.dataPort = 6036;
    d.password = "Admin123";
    return d;
}

std::map<std::string, std::string> Request()
{
    return {{"password", "Admin123"},
            {"ipAddr", "192.168.1.70"},
            {"maskAddr", "255.255.0.0"},
            {"route", "192.168.0.1"},
            {"dhcpSwitch", "false"}};
}

} // namespace

TEST(SimDevice, SetIpRequestsTable)
{
    const struct
    {
        const char* key;
        const char* value;
        int result;
    } cases[] = {
        {"password", "Admin123", 0},
        {"password", "admin123", 1},
        {"password", "", 1},
        {"ipAddr", "192.168.1.300", 1},
        {"maskAddr", "", 1},
        {"route", "gateway", 1},
        {"httpPort", "8080", 0},
        {"httpPort", "0", 1},
        {"dataPort", "65536", 1},
        {"dataPort", "70x", 1},
    };
    for (const auto& c : cases) {
        SimDevice d = Camera();
        auto request = Request();
        request[c.key] = c.value;
        EXPECT_EQ(c.result, d.ApplySetIp(request)) << c.key << "=" << c.value;
        EXPECT_EQ(c.result == 0 ? "192.168.1.70" : "192.168.1.64", d.ip) << "a refusal changes nothing";
    }
}

TEST(SimDevice, AppliedRequestChangesAddressesAndOnlyGivenPorts)
{
    SimDevice d = Camera();
    auto request = Request();
    request["dhcpSwitch"] = "true";
    request["dataPort"] = "7000";
    ASSERT_EQ(0, d.ApplySetIp(request));
    EXPECT_EQ("255.255.0.0", d.mask);
    EXPECT_EQ("192.168.0.1", d.gateway);
    EXPECT_TRUE(d.dhcp);
    EXPECT_EQ(7000, d.dataPort);
    EXPECT_EQ(80, d.httpPort);
}

TEST(SimDevice, RestoreOnlyWhereSupported)
{
    SimDevice d = Camera();
    d.Provision();
    EXPECT_TRUE(d.RestoreDefault());
    // Back to "not activated": no password, no salt, nothing anyone could log in with.
    EXPECT_FALSE(d.Activated());
    EXPECT_EQ("", d.password);
    EXPECT_EQ("", d.salt);
    d.legacy = true;
    EXPECT_TRUE(d.RestoreDefault());
    EXPECT_EQ(kFactoryPassword, d.password);
    d.canRestore = false;
    d.password = "other";
    EXPECT_FALSE(d.RestoreDefault());
    EXPECT_EQ("other", d.password);
}

TEST(SimDevice, ReportCarriesRunningTimeFromBoot)
{
    SimDevice d = Camera();
    d.bootedAt = std::chrono::system_clock::from_time_t(0);
    const auto fields = d.Fields("reply", std::chrono::system_clock::from_time_t(90061));
    EXPECT_EQ("1970-01-01 00:00:00", fields.bootTime);
    EXPECT_EQ("90061", fields.runningTime);
    EXPECT_EQ("reply", fields.event);
    EXPECT_EQ("192.168.1.64", fields.ip);
}

TEST(SimDevice, SetRefusesUnknownKeysAndBadNumbers)
{
    SimDevice d = Camera();
    EXPECT_TRUE(d.Set("name", "Gate"));
    EXPECT_TRUE(d.Set("http", "8081"));
    EXPECT_FALSE(d.Set("http", "80a"));
    EXPECT_FALSE(d.Set("colour", "red"));
    EXPECT_FALSE(d.Set("dhcp", "yes"));
    EXPECT_EQ("Gate", d.name);
    EXPECT_EQ(8081, d.httpPort);
}
