// The simulator's own guard: it multicasts on every interface it sees, so it refuses to run
// in the network namespace of process 1. Here process 1 is this test, in its private pc node.

#include "SearchFixture.h"

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
