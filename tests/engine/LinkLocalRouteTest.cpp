#include "LinkLocalRoute.h"

#include "HostNamespace.h"
#include "TestFiles.h"

#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const char* const kTableHead = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

// The routes the kernel holds for 169.254.0.0/16, as "ip route" prints them.
std::string LinkLocalRoutes()
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen("ip route show 169.254.0.0/16", "r"), pclose);
    std::string routes;
    char line[256] = {};
    while (pipe && fgets(line, sizeof line, pipe.get()) != nullptr) {
        routes += line;
    }
    return routes;
}

struct TableCase
{
    const char* name;
    const char* line;
    const char* found;
};

// Addresses as the kernel prints them: the hexadecimal of the in-memory (network-order) value.
const TableCase kTableCases[] = {
    {"direct /16", "hn0\t0000FEA9\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n", "hn0"},
    {"direct /8 holding it", "hn1\t000000A9\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n", "hn1"},
    {"narrower /24", "hn0\t0001FEA9\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n", ""},
    {"through a gateway", "hn0\t0000FEA9\t0101A8C0\t0003\t0\t0\t0\t0000FFFF\t0\t0\t0\n", ""},
    {"down", "hn0\t0000FEA9\t00000000\t0000\t0\t0\t0\t0000FFFF\t0\t0\t0\n", ""},
    {"default route", "hn0\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n", ""},
    {"other network", "hn0\t0000A8C0\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n", ""},
};

TEST(LinkLocalRoute, OnlyADirectRouteHoldingTheWholePrefixCounts)
{
    TempDir dir;
    for (const TableCase& c : kTableCases) {
        const std::string path = dir.File("route");
        WriteFile(path, std::string(kTableHead) + c.line);
        EXPECT_EQ(LinkLocalRoute::FindInTable(path), c.found) << c.name;
    }
}

TEST(LinkLocalRoute, CommandIsSafeToPasteIntoAShell)
{
    const struct
    {
        const char* iface;
        const char* command;
    } cases[] = {
        {"eth0", "sudo ip route add 169.254.0.0/16 dev eth0"},
        {"br-lan.10@x", "sudo ip route add 169.254.0.0/16 dev br-lan.10@x"},
        {"a'b;rm", "sudo ip route add 169.254.0.0/16 dev 'a'\\''b;rm'"},
        {"e\x1b[2J", "sudo ip route add 169.254.0.0/16 dev $'\\x65\\x1B\\x5B\\x32\\x4A'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinkLocalRoute::AddCommandFor(c.iface), c.command);
    }
}

class LinkLocalRouteNetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PRIVATE_NETWORK();
        ASSERT_TRUE(RunCommand("ip link add hn0 type veth peer name hn0p && ip addr add 10.77.1.20/24 dev hn0 && "
                               "ip link set hn0 up && ip link set hn0p up"));
    }
    void TearDown() override
    {
        RunCommand("ip link del hn0");
    }
};

TEST_F(LinkLocalRouteNetTest, AddedWhenMissingAndRemovedAtTheEnd)
{
    {
        LinkLocalRoute route;
        EXPECT_EQ(route.Ensure("10.77.1.20"), LinkLocalRoute::State::Added);
        const std::string routes = LinkLocalRoutes();
        EXPECT_NE(routes.find("169.254.0.0/16 dev hn0"), std::string::npos) << routes;
        EXPECT_NE(routes.find("src 10.77.1.20"), std::string::npos) << routes;

        // A second copy finds it and leaves it alone when it ends.
        {
            LinkLocalRoute other;
            EXPECT_EQ(other.Ensure("10.77.1.20"), LinkLocalRoute::State::Present);
            EXPECT_EQ(other.Interface(), "hn0");
        }
        EXPECT_NE(LinkLocalRoutes(), "");
    }
    EXPECT_EQ(LinkLocalRoutes(), "") << "the route this program added goes with it";
}

TEST_F(LinkLocalRouteNetTest, RouteOfTheAdministratorIsKept)
{
    ASSERT_TRUE(RunCommand("ip route add 169.254.0.0/16 dev hn0"));
    {
        LinkLocalRoute route;
        EXPECT_EQ(route.Ensure("10.77.1.20"), LinkLocalRoute::State::Present);
    }
    EXPECT_NE(LinkLocalRoutes(), "");
}

// A normal user may not change routes: the route stays missing and the user gets the command.
TEST_F(LinkLocalRouteNetTest, NormalUserGetsTheCommandInstead)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(10);
        }
        LinkLocalRoute route;
        const bool missing = route.Ensure("10.77.1.20") == LinkLocalRoute::State::Missing;
        const bool command = route.AddCommand() == "sudo ip route add 169.254.0.0/16 dev hn0";
        _exit(!LinkLocalRoute::MayChangeRoutes() && missing && command ? 0 : 11);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(LinkLocalRoutes(), "");
}

TEST_F(LinkLocalRouteNetTest, NothingToRouteThroughWithoutTheAddress)
{
    LinkLocalRoute route;
    EXPECT_EQ(route.Ensure("10.1.1.1"), LinkLocalRoute::State::NoInterface);
    EXPECT_EQ(route.Ensure(""), LinkLocalRoute::State::NoInterface);
    EXPECT_EQ(route.Ensure("10.77.1.20; reboot"), LinkLocalRoute::State::NoInterface);
    EXPECT_EQ(LinkLocalRoutes(), "");
}

} // namespace
