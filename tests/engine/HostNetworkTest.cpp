#include "HostNetwork.h"

#include "HostNamespace.h"
#include "TestFiles.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct Texts
{
    std::string ip, mask, gateway, dns;
};

// The namespace's links, removed again so the tests can run one after another in it.
class HostNetworkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PRIVATE_NETWORK();
        m_sources.resolvConf = m_dir.File("resolv.conf");
        m_sources.stubUpstreamConf = m_dir.File("upstream.conf");
    }
    void TearDown() override
    {
        for (const std::string& link : m_links) {
            RunCommand("ip link del " + link);
        }
    }

    // A veth pair whose near end holds cidr; the far end is up but holds no address.
    void AddLink(const std::string& name, const std::string& cidr)
    {
        ASSERT_TRUE(RunCommand("ip link add " + name + " type veth peer name " + name + "p"));
        m_links.push_back(name);
        ASSERT_TRUE(RunCommand("ip addr add " + cidr + " dev " + name + " && ip link set " + name +
                               " up && ip link set " + name + "p up"));
    }

    Texts Read()
    {
        Texts t;
        ReadHostNetwork(t.ip, t.mask, t.gateway, t.dns, m_sources);
        return t;
    }

    TempDir m_dir;
    HostNetworkSources m_sources;
    std::vector<std::string> m_links;
};

TEST_F(HostNetworkTest, KnownNetworkGivesExactlyItsTexts)
{
    AddLink("hn0", "10.77.1.20/24");
    ASSERT_TRUE(RunCommand("ip route add default via 10.77.1.1 dev hn0"));
    WriteFile(m_sources.resolvConf, "# resolver\nsearch lan\nnameserver 10.77.1.53\nnameserver 10.77.1.54\n");
    const Texts t = Read();
    EXPECT_EQ(t.ip, "10.77.1.20");
    EXPECT_EQ(t.mask, "255.255.255.0");
    EXPECT_EQ(t.gateway, "10.77.1.1");
    EXPECT_EQ(t.dns, "10.77.1.53");
}

TEST_F(HostNetworkTest, WithoutDnsServerOnlyDnsStaysEmpty)
{
    AddLink("hn0", "10.77.1.20/24");
    ASSERT_TRUE(RunCommand("ip route add default via 10.77.1.1 dev hn0"));
    WriteFile(m_sources.resolvConf, "search lan\n# nameserver 10.0.0.1\nnameserver fe80::1\n");
    const Texts t = Read();
    EXPECT_EQ(t.ip, "10.77.1.20");
    EXPECT_EQ(t.mask, "255.255.255.0");
    EXPECT_EQ(t.gateway, "10.77.1.1");
    EXPECT_EQ(t.dns, "");
}

TEST_F(HostNetworkTest, TheInterfaceWithTheDefaultRouteComesFirst)
{
    AddLink("hn0", "10.77.1.20/24");
    AddLink("hn1", "10.88.0.5/16");
    ASSERT_TRUE(RunCommand("ip route add default via 10.88.0.1 dev hn1"));
    const Texts t = Read();
    EXPECT_EQ(t.ip, "10.88.0.5");
    EXPECT_EQ(t.mask, "255.255.0.0");
    EXPECT_EQ(t.gateway, "10.88.0.1");
}

TEST_F(HostNetworkTest, WithoutDefaultRouteTheFirstUpInterfaceAndNoGateway)
{
    AddLink("hn0", "10.77.1.20/24");
    Texts t;
    t.gateway = "untouched";
    ReadHostNetwork(t.ip, t.mask, t.gateway, t.dns, m_sources);
    EXPECT_EQ(t.ip, "10.77.1.20");
    EXPECT_EQ(t.gateway, "untouched");
    EXPECT_EQ(t.dns, "");
}

TEST_F(HostNetworkTest, LocalStubResolverShowsItsUpstreamServer)
{
    WriteFile(m_sources.resolvConf, "nameserver 127.0.0.53\noptions edns0\n");
    EXPECT_EQ(Read().dns, "127.0.0.53") << "without upstream file the stub itself is shown";
    WriteFile(m_sources.stubUpstreamConf, "# upstream\nnameserver 10.77.1.54\n");
    EXPECT_EQ(Read().dns, "10.77.1.54");
}

TEST_F(HostNetworkTest, RouteTableIsReadForTheLowestMetricDefault)
{
    AddLink("hn0", "10.77.1.20/24");
    AddLink("hn1", "10.88.0.5/16");
    // Gateways as the kernel writes them: the in-memory value of the network-order address.
    m_sources.routeTable = m_dir.File("route");
    WriteFile(m_sources.routeTable,
              "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
              "hn1\t00000000\t0100580A\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
              "hn0\t00000000\t01014D0A\t0001\t0\t0\t100\t00000000\t0\t0\t0\n"
              "hn0\t00000000\t02014D0A\t0002\t0\t0\t50\t00000000\t0\t0\t0\n"
              "hn1\t0000580A\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n");
    const Texts t = Read();
    EXPECT_EQ(t.ip, "10.77.1.20");
    EXPECT_EQ(t.gateway, "10.77.1.1") << "the 50-metric route is down and does not count";
}

} // namespace
