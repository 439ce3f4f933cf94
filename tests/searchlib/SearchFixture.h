#pragma once

// A private topology per test, the test's main thread in the pc namespace, simulators in the
// device namespaces, and the library reporting into a CallbackLog.

#include "PrivateNetwork.h"
#include "Scanix_Search.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace scanix::test {

class SearchFixture : public testing::Test
{
protected:
    // Addresses on the fleet node; tests with a large fleet override it before SetUp.
    int m_fleetAddresses = 8;

    void SetUp() override
    {
        if (!PrivateNamespaceProblem().empty()) {
            GTEST_SKIP() << "end-to-end test skipped: " << PrivateNamespaceProblem();
        }
        m_net = std::make_unique<TestNetwork>(m_fleetAddresses);
        ASSERT_TRUE(m_net->Ok()) << "tools/netns/netns.sh up failed";
        ASSERT_TRUE(m_net->EnterPc());
    }

    void TearDown() override
    {
        SCANIX_SEARCH_Quit();
        m_sims.clear();
        m_net.reset();
    }

    // A simulator on `node` (lan1, lan2, fleet), answering within 100 ms unless told otherwise.
    Simulator& StartSim(const std::string& node, std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--max-delay", "100", "--no-hello"});
        m_sims.push_back(std::make_unique<Simulator>(m_net->Namespace(node), args));
        EXPECT_TRUE(m_sims.back()->Ready()) << "simulator on " << node << " did not start";
        return *m_sims.back();
    }

    // Seven devices of the maker, one of each type in turn, in 192.168.1.0/24 with seed 1.
    Simulator& StartLan1(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"--count", "7", "--seed", "1", "--first-ip", "192.168.1.64"};
        args.insert(args.end(), extra.begin(), extra.end());
        return StartSim("lan1", args);
    }

    // Option 10: devices answer within 100 ms of a probe.
    void InitLibrary(int option = 10)
    {
        ASSERT_EQ(0, SCANIX_SEARCH_Initial(&CallbackLog::Callback, &m_log, option));
    }

    bool WaitFound(std::size_t count, int seconds = 4)
    {
        return m_log.WaitForCount(SCANIX_KIND_FOUND, count, std::chrono::seconds(seconds));
    }

    bool WaitFor(int kind, const std::string& mac, int seconds = 4)
    {
        return m_log.WaitFor(
            [&](const std::vector<CallbackLog::Event>& events) {
                for (const auto& e : events) {
                    if (e.kind == kind && e.mac == mac) {
                        return true;
                    }
                }
                return false;
            },
            std::chrono::seconds(seconds));
    }

    std::unique_ptr<TestNetwork> m_net;
    std::vector<std::unique_ptr<Simulator>> m_sims;
    CallbackLog m_log;
};

} // namespace scanix::test
