// Network-parameter, port and password requests end to end: the search manager, the real
// search library and the simulator's devices (discovery and HTTP), in a private topology.
#include "CScanixManage.h"
#include "DeviceHttpClient.h"
#include "PortDocument.h"
#include "PrivateNetwork.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace scanix::test;
using Clock = std::chrono::steady_clock;

// Devices of seed 1 in turn: index 0 is an IP camera, 1 a network recorder, 3 a mobile
// recorder (which cannot restore its password).
const std::string kCamera = SimMac(1, 0);
const std::string kRecorder = SimMac(1, 1);
const std::string kMobileRecorder = SimMac(1, 3);
const char kPassword[] = "Admin123";
const char kCameraIp[] = "10.0.0.64";
const char kCameraIp2[] = "169.254.10.64";

class CScanixManageRequestsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateNamespaceProblem().empty()) {
            GTEST_SKIP() << "end-to-end test skipped: " << PrivateNamespaceProblem();
        }
        m_net = std::make_unique<TestNetwork>(1);
        ASSERT_TRUE(m_net->Ok()) << "tools/netns/netns.sh up failed";
        // The devices live in the searcher's subnet on node lan1; the camera's second
        // address is link-local, reached through the route the program adds.
        const std::string lan1 = m_net->Namespace("lan1");
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(Run("ip -n " + lan1 + " addr add 10.0.0." + std::to_string(64 + i) + "/24 dev eth0"), 0);
        }
        ASSERT_EQ(Run("ip -n " + lan1 + " addr add " + std::string(kCameraIp2) + "/16 dev eth0"), 0);
        ASSERT_TRUE(m_net->EnterPc());
        m_manage.AddLinkLocalRoute("10.0.0.5");

        RequestTimings timings;
        timings.answerWaitMs = 1500;
        timings.retryPauseMs = 50;
        // Roomy enough for a loaded machine: the probe and the HTTP phase failed now and then
        // with 200 and 500 ms while the whole suite ran on two cores.
        timings.probeMs = 600;
        timings.http = DeviceHttpTimeouts{1500, 1500};
        m_manage.SetRequestTimings(timings);
    }

    void TearDown() override
    {
        m_manage.Quit();
        m_sim.reset();
        m_net.reset();
    }

    static int Run(const std::string& command)
    {
        return std::system((command + " >/dev/null 2>&1").c_str());
    }

    // The simulator with seven devices from 10.0.0.64, the camera's second address set,
    // then the manager searching until the camera and the recorder are stored.
    void Start(std::vector<std::string> extra = {}, const std::vector<std::string>& before = {})
    {
        std::vector<std::string> args = {
            "--max-delay", "50", "--no-hello", "--count", "7", "--seed", "1", "--first-ip", "10.0.0.64", "--http"};
        args.insert(args.end(), extra.begin(), extra.end());
        m_sim = std::make_unique<Simulator>(m_net->Namespace("lan1"), args);
        ASSERT_TRUE(m_sim->Ready());
        ASSERT_TRUE(m_sim->Command("set " + kCamera + " ip2=" + kCameraIp2));
        for (const std::string& command : before) {
            ASSERT_TRUE(m_sim->Command(command));
        }
        m_manage.Init();
        m_manage.Refresh(true);
        ASSERT_TRUE(WaitUntil([&] { return Stored(kCamera) && Stored(kRecorder) && Stored(kMobileRecorder); }));
    }

    bool Stored(const std::string& mac)
    {
        DEVICE_INFO d{};
        return m_manage.FindDevice(mac.c_str(), d);
    }

    DEVICE_INFO Device(const std::string& mac)
    {
        DEVICE_INFO d{};
        m_manage.FindDevice(mac.c_str(), d);
        return d;
    }

    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds wait = std::chrono::seconds(5))
    {
        const auto deadline = Clock::now() + wait;
        while (!done()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    int Set(const std::string& mac,
            const char* ip,
            const char* mask,
            const char* gateway,
            const char* password = kPassword,
            const char* httpPort = "",
            const char* dataPort = "")
    {
        return m_manage.SetNetworkParam(mac.c_str(), ip, mask, gateway, password, httpPort, dataPort, false);
    }

    // The camera's port document as its HTTP interface reports it now.
    bool ReadPorts(const char* host, int httpPort, DevicePorts& ports)
    {
        char* answer = nullptr;
        int size = 0;
        if (PostDeviceRequest(host, httpPort, "admin", kPassword, "/GetPortConfig", &answer, &size, nullptr, 0) !=
            DEVICE_REQUEST_OK) {
            return false;
        }
        const std::unique_ptr<char[]> owned(answer);
        return ReadPortConfigValue(answer, "httpPort", ports.httpPort) &&
               ReadPortConfigValue(answer, "netPort", ports.dataPort) &&
               ReadPortConfigValue(answer, "rtspPort", ports.rtspPort);
    }

    std::unique_ptr<TestNetwork> m_net;
    std::unique_ptr<Simulator> m_sim;
    CScanixManage m_manage;
};

TEST_F(CScanixManageRequestsTest, RuleFailuresSendNothing)
{
    Start();
    const struct
    {
        const char* ip;
        const char* mask;
        const char* gateway;
        int code;
    } cases[] = {{"10.0.0.255", "255.255.255.0", "10.0.0.1", 1},
                 {"10.0.0.0", "255.255.255.0", "10.0.0.1", 2},
                 {"127.0.0.1", "255.0.0.0", "127.0.0.254", 3},
                 {"224.0.0.5", "255.255.255.0", "224.0.0.1", 4},
                 {"10.0.0.5", "255.0.255.0", "10.0.0.1", 5},
                 {"10.0.0.80", "255.255.255.0", "10.0.1.1", 6},
                 {"10.0.0.80", "255.255.255.0", "10.0.0.255", 7},
                 {"10.0.0.80", "255.255.255.0", "10.0.0.0", 8}};
    for (const auto& c : cases) {
        EXPECT_EQ(Set(kCamera, c.ip, c.mask, c.gateway), c.code) << c.ip << " " << c.mask << " " << c.gateway;
    }
    // Nothing went out: no request was ever recorded as pending.
    EXPECT_EQ(m_manage.GetPendingResult(), -1);
    EXPECT_STREQ(Device(kCamera).ipAddr, kCameraIp);
}

TEST_F(CScanixManageRequestsTest, AcceptedChangeWithoutPortsReachesTheDeviceAndItsRow)
{
    Start();
    const auto start = Clock::now();
    EXPECT_EQ(Set(kCamera, "10.0.0.80", "255.255.255.0", "10.0.0.1"), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
    // The row data change through the device's "changed" report.
    EXPECT_TRUE(WaitUntil([&] { return std::string(Device(kCamera).ipAddr) == "10.0.0.80"; }));
    EXPECT_STREQ(Device(kCamera).route, "10.0.0.1");
}

TEST_F(CScanixManageRequestsTest, UnknownDeviceIsAFailureAndSendsNothing)
{
    Start();
    EXPECT_EQ(Set("00:11:22:33:44:55", "10.0.0.80", "255.255.255.0", "10.0.0.1"), 10);
    EXPECT_EQ(m_manage.GetPendingResult(), -1);
}

TEST_F(CScanixManageRequestsTest, SilentCameraGivesNoAnswer)
{
    Start();
    ASSERT_TRUE(m_sim->Command("mute " + kCamera));
    const auto start = Clock::now();
    EXPECT_EQ(Set(kCamera, "10.0.0.80", "255.255.255.0", "10.0.0.1"), 9);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1400));
}

TEST_F(CScanixManageRequestsTest, WrongPasswordIsRefused)
{
    Start();
    EXPECT_EQ(Set(kCamera, "10.0.0.80", "255.255.255.0", "10.0.0.1", "wrong"), 10);
    EXPECT_STREQ(Device(kCamera).ipAddr, kCameraIp);
}

TEST_F(CScanixManageRequestsTest, RecorderIsNotAwaited)
{
    Start();
    const auto start = Clock::now();
    EXPECT_EQ(Set(kRecorder, "10.0.0.81", "255.255.255.0", "10.0.0.1"), 11);
    // Nothing is awaited: only the password key's one-time derivation (about 50 ms) is paid.
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    // The request went out all the same.
    EXPECT_TRUE(WaitUntil([&] { return std::string(Device(kRecorder).ipAddr) == "10.0.0.81"; }));
}

TEST_F(CScanixManageRequestsTest, PortChangeReachesTheCameraOverHttp)
{
    Start();
    EXPECT_EQ(Set(kCamera, kCameraIp, "255.255.255.0", "10.0.0.1", kPassword, "8081", "6100"), 0);
    DevicePorts ports;
    ASSERT_TRUE(WaitUntil([&] { return ReadPorts(kCameraIp, 8081, ports); }));
    EXPECT_EQ(ports.httpPort, 8081);
    EXPECT_EQ(ports.dataPort, 6100);
    EXPECT_EQ(ports.rtspPort, 554);
    // The camera announces its new ports and the row follows.
    EXPECT_TRUE(WaitUntil([&] { return Device(kCamera).httpPort == 8081 && Device(kCamera).dataPort == 6100; }));
}

TEST_F(CScanixManageRequestsTest, PortChangeAsksForTheRtspPortWhenTheCameraReportedNone)
{
    Start({}, {"set " + kCamera + " rtsp=-1"});
    ASSERT_EQ(Device(kCamera).rtspPort, 0);
    EXPECT_EQ(Set(kCamera, kCameraIp, "255.255.255.0", "10.0.0.1", kPassword, "8081", "6100"), 0);
    DevicePorts ports;
    ASSERT_TRUE(WaitUntil([&] { return ReadPorts(kCameraIp, 8081, ports); }));
    EXPECT_EQ(ports.dataPort, 6100);
    EXPECT_EQ(ports.rtspPort, 554) << "the camera's own RTSP port, read over HTTP, is written back";
}

TEST_F(CScanixManageRequestsTest, PortChangeUsesTheSecondAddressWhenTheNewOneDoesNotAnswer)
{
    // The camera's data port is closed, so the probe of its address fails and the HTTP
    // requests go to its link-local second address.
    Start({"--http-closed-data-port"});
    EXPECT_EQ(Set(kCamera, kCameraIp, "255.255.255.0", "10.0.0.1", kPassword, "8082", "6101"), 0);
    DevicePorts ports;
    ASSERT_TRUE(WaitUntil([&] { return ReadPorts(kCameraIp2, 8082, ports); }));
    EXPECT_EQ(ports.dataPort, 6101);
}

TEST_F(CScanixManageRequestsTest, PortsEqualToTheStoredOnesNeedNoHttp)
{
    Start({"--http-silent"});
    const DEVICE_INFO camera = Device(kCamera);
    const std::string http = std::to_string(camera.httpPort);
    const std::string data = std::to_string(camera.dataPort);
    const auto start = Clock::now();
    EXPECT_EQ(Set(kCamera, kCameraIp, "255.255.255.0", "10.0.0.1", kPassword, http.c_str(), data.c_str()), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(400)) << "a silent HTTP server was not asked";
}

TEST_F(CScanixManageRequestsTest, HttpFailuresOfThePortChangeAreRefusals)
{
    for (const char* fault : {"--http-silent", "--http-huge-length"}) {
        SCOPED_TRACE(fault);
        // Served over HTTPS, the camera takes ports only through its web interface.
        Start({fault}, {"set " + kCamera + " rtsp=-1 httptype=1"});
        EXPECT_EQ(Set(kCamera, kCameraIp, "255.255.255.0", "10.0.0.1", kPassword, "8081", "6100"), 10);
        m_manage.Quit();
        m_sim.reset();
    }
}

TEST_F(CScanixManageRequestsTest, RestoreDefaultReportsTheDevicesAnswer)
{
    Start();
    EXPECT_EQ(m_manage.RestoreDefault(kCamera.c_str()), 1 << 8) << "not without a press of the reset button";
    ASSERT_TRUE(m_sim->Command("button " + kCamera));
    EXPECT_NE(m_manage.RestoreDefault(kCamera.c_str()) & 0xFF, 0);
    EXPECT_EQ(m_manage.RestoreDefault(kMobileRecorder.c_str()) & 0xFF, 0);
    EXPECT_EQ(m_manage.RestoreDefault("not a mac"), 0);
}

} // namespace
