// The simulator's own guards: it multicasts on every interface it sees, so it refuses to run
// in the network namespace of process 1 (here process 1 is this test, in its private pc node);
// and it cannot be made to amplify a probe.

#include "McastSocket.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "SearchFixture.h"

#include <map>
#include <net/if.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace scanix::test;
using namespace std::chrono_literals;

namespace {

class DeviceSimulatorNet : public SearchFixture
{
};

} // namespace

TEST_F(DeviceSimulatorNet, RefusesTheNetworkNamespaceOfProcessOne)
{
    ASSERT_EQ(1, getpid()) << "expected to run as process 1 of a private PID namespace";
    const pid_t child = fork();
    if (child == 0) {
        execl(SCANIX_DEVSIM_PATH, SCANIX_DEVSIM_PATH, "--count", "1", "--log", "-", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << "the simulator ran in the namespace of process 1";
        }
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(3, WEXITSTATUS(status));
}

TEST_F(DeviceSimulatorNet, RunsInADeviceNamespace)
{
    Simulator& sim = StartLan1();
    EXPECT_TRUE(sim.Ready());
    EXPECT_TRUE(sim.Command("stats"));
    EXPECT_FALSE(sim.Command("set 02:5C:01:00:00:00 colour=red"));
    EXPECT_FALSE(sim.Command("off not-a-mac"));
}

// What a device must do so that one probe cannot be turned into a burst: one reply per round
// whatever the copies, spread over at least 250 ms whatever the probe asks, and no more
// replies than its rate allows however many rounds are asked for.
TEST_F(DeviceSimulatorNet, AnswersARoundOnceSpreadOutAndWithinItsRate)
{
    StartSim("lan1", {"--count", "40", "--seed", "1", "--first-ip", "192.168.1.64"});
    std::string error;
    const int eth0 = static_cast<int>(if_nametoindex("eth0"));
    auto prober = scanix::proto::McastSocket::Open(eth0, scanix::proto::kDevicePort, &error);
    auto listener = scanix::proto::McastSocket::Open(eth0, scanix::proto::kSearcherPort, &error);
    ASSERT_TRUE(prober && listener) << error;

    // Replies per MAC, and when each came, read for `wait`.
    std::vector<std::chrono::steady_clock::time_point> times;
    const auto collect = [&](std::chrono::milliseconds wait, std::map<std::string, int>& replies) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        std::string text;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd fd{listener->Fd(), POLLIN, 0};
            poll(&fd, 1, 10);
            while (listener->Read(text) == scanix::proto::McastSocket::Receive::Datagram) {
                const scanix::proto::Incoming message = scanix::proto::ReadMessage(text);
                if (message.type == scanix::proto::Incoming::Type::Result && message.event == "reply") {
                    ++replies[message.mac];
                    times.push_back(std::chrono::steady_clock::now());
                }
            }
        }
    };

    // Three copies of one round, 250 ms apart as a searcher sends them, asking for no spread.
    std::map<std::string, int> first;
    for (int copy = 0; copy < 3; ++copy) {
        ASSERT_TRUE(prober->Send(scanix::proto::kDevicePort, scanix::proto::BuildProbe(77, copy, 0)));
        collect(250ms, first);
    }
    collect(300ms, first);
    EXPECT_EQ(40u, first.size());
    for (const auto& [mac, count] : first) {
        EXPECT_EQ(1, count) << mac << " answered one round more than once";
    }
    // Forty draws from 0..250 ms: all within 60 ms of each other happens about once in 10^23.
    ASSERT_FALSE(times.empty());
    EXPECT_GT(times.back() - times.front(), 60ms) << "replies were not spread over the floor";

    // A new round every 100 ms for 2.5 s (unlimited, a device would answer about every
    // other one): each device answers no more than its rate allows, a burst of 5 and then one
    // a second.
    std::map<std::string, int> flood;
    for (std::uint32_t seq = 100; seq < 125; ++seq) {
        ASSERT_TRUE(prober->Send(scanix::proto::kDevicePort, scanix::proto::BuildProbe(seq, 0, 0)));
        collect(100ms, flood);
    }
    collect(300ms, flood);
    EXPECT_EQ(40u, flood.size());
    for (const auto& [mac, count] : flood) {
        EXPECT_LE(count, 8) << mac << " answered beyond its reply rate";
    }
}
