#include "HostNamespace.h"

#include <cstdlib>
#include <sched.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

bool g_privateNetwork = false;

} // namespace

bool HavePrivateNetwork()
{
    return g_privateNetwork;
}

bool RunCommand(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Before any thread starts: the whole process moves into a namespace with only its own
    // loopback, so probes, veth links and routes made by the tests never reach the host's.
    if (geteuid() == 0 && unshare(CLONE_NEWNET) == 0) {
        g_privateNetwork = RunCommand("ip link set lo up");
    }
    return RUN_ALL_TESTS();
}
