// A camera's port change never posts the device's credentials to this host: a second address
// of 0.0.0.0, loopback or one of this host's own is refused before any connection is made.
#include "CScanixManage.h"
#include "FakeSearchLibrary.h"
#include "HostNamespace.h"
#include "Scanix_Search.h"
#include "TestDocuments.h"

#include <arpa/inet.h>
#include <chrono>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

constexpr const char* kCamera = "00:1A:2B:3C:4D:07";

TEST(PortChange, SecondAddressOnThisHostGetsNoCredentials)
{
    SKIP_WITHOUT_PRIVATE_NETWORK();
    ASSERT_TRUE(RunCommand("ip link add pc0 type veth peer name pc0p && ip link set pc0p up && ip addr add 10.66.1.5/24 dev pc0 && ip link set pc0 up"));
    // Whatever local address the request would go to, this listener would take it.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    socklen_t length = sizeof addr;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length), 0);
    const std::string httpPort = std::to_string(ntohs(addr.sin_port));

    FakeSearchLibrary::Reset();
    CScanixManage manager;
    manager.Init();
    RequestTimings timings;
    timings.answerWaitMs = 2000;
    manager.SetRequestTimings(timings);
    for (const char* second : {"127.0.0.1", "10.66.1.5", "0.0.0.0"}) {
        // The device's new address (10.9.0.0/16, no route) does not answer, so the request
        // would fall back to the second address.
        std::string doc =
            Replaced(CameraDocument("10.9.0.64"), "<ip>169.254.12.34</ip>", std::string("<ip>") + second + "</ip>");
        doc = Replaced(doc, "<httpPort>80</httpPort>", "<httpPort>" + httpPort + "</httpPort>");
        Report(manager, kCamera, SCANIX_KIND_GONE, "");
        Report(manager, kCamera, SCANIX_KIND_FOUND, doc.c_str());
        auto answered = std::async(std::launch::async, [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return FakeSearchLibrary::Deliver(
                kCamera,
                SCANIX_KIND_SETIP_ANSWER,
                "<multicastSearchResult><setIPResult>0</setIPResult></multicastSearchResult>");
        });
        EXPECT_EQ(
            manager.SetNetworkParam(kCamera, "10.9.0.65", "255.255.0.0", "10.9.0.1", "pass", "8081", "7001", false),
            SETIP_FAILED)
            << second;
        EXPECT_TRUE(answered.get());
        pollfd waiting{listener, POLLIN, 0};
        EXPECT_EQ(poll(&waiting, 1, 100), 0) << "a connection reached this host for " << second;
    }
    manager.Quit();
    close(listener);
    RunCommand("ip link del pc0");
}

} // namespace
