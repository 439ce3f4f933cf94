// The request logic of CScanixManage against the recording stand-in of the search library:
// what is sent, what is awaited and which code comes back. No device traffic: every camera
// that answers "accepted" here is asked for no port change, so nothing is probed.
#include "CScanixManage.h"
#include "FakeSearchLibrary.h"
#include "Scanix_Search.h"
#include "TestDocuments.h"
#include "TestFiles.h"

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <sys/stat.h>
#include <thread>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kCamera = "00:1A:2B:3C:4D:01";
constexpr const char* kRecorder = "00:1A:2B:3C:4D:02";

std::string Answer(int result)
{
    return "<multicastSearchResult><setIPResult>" + std::to_string(result) + "</setIPResult></multicastSearchResult>";
}

DEVICE_INFO Device(const CScanixManage& manager, const char* mac)
{
    DEVICE_INFO d{};
    manager.FindDevice(mac, d);
    return d;
}

class CScanixManageRequests : public testing::Test
{
protected:
    void SetUp() override
    {
        FakeSearchLibrary::Reset();
        m_manager.Init();
        Report(m_manager, kCamera, SCANIX_KIND_FOUND, CameraDocument("192.168.1.64"));
        Report(m_manager, kRecorder, SCANIX_KIND_FOUND, LoadDocument("nvr_found.xml"));
        ASSERT_EQ(m_manager.Devices().size(), 2u);
        RequestTimings timings;
        timings.answerWaitMs = 300;
        m_manager.SetRequestTimings(timings);
        FakeSearchLibrary::ClearCalls();
    }
    void TearDown() override
    {
        m_manager.Quit();
    }

    int Set(const char* mac,
            const char* ip,
            const char* mask = "255.255.255.0",
            const char* gateway = "192.168.1.1",
            const char* httpPort = "",
            const char* dataPort = "")
    {
        return m_manager.SetNetworkParam(mac, ip, mask, gateway, "pass", httpPort, dataPort, false);
    }

    // The answer of the device, 50 ms after the request, on the library's own thread.
    std::future<bool> AnswerLater(int kind, std::string xml, const char* mac = kCamera)
    {
        return std::async(std::launch::async, [kind, xml, mac] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return FakeSearchLibrary::Deliver(mac, kind, xml.c_str());
        });
    }

    CScanixManage m_manager;
};

TEST_F(CScanixManageRequests, RuleFailuresReturnTheirCodeAndSendNothing)
{
    const struct
    {
        const char* ip;
        const char* mask;
        const char* gateway;
        int code;
    } cases[] = {{"192.168.1.255", "255.255.255.0", "192.168.1.1", 1},
                 {"192.168.1.0", "255.255.255.0", "192.168.1.1", 2},
                 {"127.0.0.1", "255.0.0.0", "127.0.0.254", 3},
                 {"224.0.0.5", "255.255.255.0", "224.0.0.1", 4},
                 {"10.0.0.5", "255.0.255.0", "10.0.0.1", 5},
                 {"192.168.1.10", "255.255.255.0", "192.168.2.1", 6},
                 {"192.168.1.10", "255.255.255.0", "192.168.1.255", 7},
                 {"192.168.1.10", "255.255.255.0", "0.0.0.0", 8},
                 {"not an address", "255.255.255.0", "192.168.1.1", 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Set(kCamera, c.ip, c.mask, c.gateway), c.code) << c.ip;
    }
    EXPECT_TRUE(FakeSearchLibrary::Calls().empty());
    EXPECT_EQ(m_manager.GetPendingResult(), -1);
}

TEST_F(CScanixManageRequests, UnknownDeviceFailsWithoutSending)
{
    EXPECT_EQ(Set("00:00:00:00:00:09", "192.168.1.10"), SETIP_FAILED);
    EXPECT_EQ(Set(nullptr, "192.168.1.10"), SETIP_FAILED);
    EXPECT_TRUE(FakeSearchLibrary::Calls().empty());
}

TEST_F(CScanixManageRequests, SendsTheSetIpDocumentWithTheStoredDnsAndEncryption)
{
    EXPECT_EQ(Set(kRecorder, "172.16.0.20", "255.255.0.0", "172.16.0.1", "8081", "6037"), SETIP_NOT_AWAITED);
    const auto calls = FakeSearchLibrary::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "SetConfig");
    EXPECT_EQ(calls[0].mac, kRecorder);
    EXPECT_EQ(calls[0].xml,
              "<searchSetIP password=\"pass\" serialNo=\"00:1A:2B:3C:4D:02\" dhcpSwitch=\"false\" "
              "ipAddr=\"172.16.0.20\" maskAddr=\"255.255.0.0\" route=\"172.16.0.1\" dns1=\"172.16.0.1\" "
              "dns2=\"" +
                  std::string(Device(m_manager, kRecorder).dns2) +
                  "\" encryptType=\"none\" httpPort=\"8081\" dataPort=\"6037\"/>\r\n");
}

TEST_F(CScanixManageRequests, RecorderIsNotAwaited)
{
    const auto start = Clock::now();
    EXPECT_EQ(Set(kRecorder, "172.16.0.20", "255.255.0.0", "172.16.0.1"), SETIP_NOT_AWAITED);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(FakeSearchLibrary::Calls().size(), 1u);

    // ChangeNetworkParam waits for the recorder's answer as for a camera's.
    const struct
    {
        int answer; // -1: none comes
        int code;
    } cases[] = {{0, SETIP_OK}, {1, SETIP_FAILED}, {3, SETIP_FAILED}, {-1, SETIP_NO_ANSWER}};
    for (const auto& c : cases) {
        std::future<bool> delivered;
        if (c.answer >= 0) {
            delivered = AnswerLater(SCANIX_KIND_SETIP_ANSWER, Answer(c.answer), kRecorder);
        }
        EXPECT_EQ(
            m_manager.ChangeNetworkParam(kRecorder, "172.16.0.20", "255.255.0.0", "172.16.0.1", "pass", "", "", false),
            c.code)
            << "answer " << c.answer;
        if (delivered.valid()) {
            EXPECT_TRUE(delivered.get());
        }
    }
    EXPECT_EQ(m_manager.ChangeNetworkParam(kCamera, "192.168.1.255", "255.255.255.0", "192.168.1.1", "", "", "", false),
              1)
        << "rule codes come back as they are";
}

TEST_F(CScanixManageRequests, CameraAnswersMapToCodes)
{
    const struct
    {
        int answer;
        int code;
    } cases[] = {{0, SETIP_OK}, {1, SETIP_FAILED}, {5, SETIP_FAILED}, {-7, SETIP_FAILED}};
    for (const auto& c : cases) {
        auto delivered = AnswerLater(SCANIX_KIND_SETIP_ANSWER, Answer(c.answer));
        EXPECT_EQ(Set(kCamera, "192.168.1.70"), c.code) << "answer " << c.answer;
        EXPECT_TRUE(delivered.get());
    }
}

TEST_F(CScanixManageRequests, ChangedReportWithTheRequestedValuesIsNoAnswer)
{
    // A report proves nothing (anyone can send one): the request waits for the library's answer.
    auto delivered = AnswerLater(SCANIX_KIND_CHANGED, CameraDocument("192.168.1.70", "255.255.255.0", "192.168.1.1"));
    EXPECT_EQ(Set(kCamera, "192.168.1.70"), SETIP_NO_ANSWER);
    EXPECT_TRUE(delivered.get());
    EXPECT_STREQ(Device(m_manager, kCamera).ipAddr, "192.168.1.70");

    // A MAC typed in lower case still names the stored device, by its upper-case text.
    delivered = AnswerLater(SCANIX_KIND_SETIP_ANSWER, Answer(0));
    EXPECT_EQ(Set("00:1a:2b:3c:4d:01", "192.168.1.71"), SETIP_OK);
    EXPECT_TRUE(delivered.get());
    EXPECT_NE(FakeSearchLibrary::Calls().back().xml.find("serialNo=\"00:1A:2B:3C:4D:01\""), std::string::npos);
}

TEST_F(CScanixManageRequests, SilentCameraGivesNoAnswerAfterTheWait)
{
    const auto start = Clock::now();
    EXPECT_EQ(Set(kCamera, "192.168.1.70"), SETIP_NO_ANSWER);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(290));
}

TEST_F(CScanixManageRequests, PortsThatDoNotChangeNeedNoHttp)
{
    // The camera's stored ports are 80 and 9008; the HTTP phase would need the network.
    const char* unchanged[][2] = {{"", ""}, {"80", "9008"}, {"0", "9010"}, {"8080", "abc"}, {"65616", "9008"}};
    for (const auto& ports : unchanged) {
        auto delivered = AnswerLater(SCANIX_KIND_SETIP_ANSWER, Answer(0));
        const auto start = Clock::now();
        EXPECT_EQ(Set(kCamera, "192.168.1.70", "255.255.255.0", "192.168.1.1", ports[0], ports[1]), SETIP_OK)
            << ports[0] << "/" << ports[1];
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200)) << "no probe, no HTTP";
        EXPECT_TRUE(delivered.get());
    }
}

TEST_F(CScanixManageRequests, DebugTracesOnlyWhenAskedFor)
{
    testing::internal::CaptureStderr();
    Set(kRecorder, "172.16.0.20", "255.255.0.0", "172.16.0.1");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    setenv("SCANIX_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    Set(kRecorder, "172.16.0.20", "255.255.0.0", "172.16.0.1");
    unsetenv("SCANIX_DEBUG");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "172.16.0.20\n00:1A:2B:3C:4D:02\nsend.....\n");
}

TEST_F(CScanixManageRequests, RestoreDefaultPassesTheMacBytesAndTheAnswer)
{
    FakeSearchLibrary::SetRestoreResult(0x101);
    EXPECT_EQ(m_manager.RestoreDefault("00:1a:2b:3c:4d:01"), 0x101);
    FakeSearchLibrary::SetRestoreResult(0);
    EXPECT_EQ(m_manager.RestoreDefault(kRecorder), 0);
    EXPECT_EQ(m_manager.RestoreDefault("garbage"), 0);
    EXPECT_EQ(m_manager.RestoreDefault("0:1A:2B:3C:4D:1"), 0);
    const auto calls = FakeSearchLibrary::Calls();
    ASSERT_EQ(calls.size(), 2u) << "a MAC that does not read is not sent";
    EXPECT_EQ(calls[0].mac, kCamera);
    EXPECT_EQ(calls[1].mac, kRecorder);
}

TEST_F(CScanixManageRequests, OpenDeviceWebFallsBackToTheSecondAddress)
{
    // The camera's address is loopback with nothing on its data port: the page opens on
    // its link-local second address. The "browser" only records its arguments.
    Report(m_manager,
           "00:1A:2B:3C:4D:03",
           SCANIX_KIND_FOUND,
           Replaced(CameraDocument("127.0.0.1"), "<httpPort>80<", "<httpPort>8080<"));
    Report(m_manager, "00:1A:2B:3C:4D:04", SCANIX_KIND_FOUND, CameraDocument("127.0.0.1;reboot"));
    TempDir dir;
    const std::string bin = dir.File("bin");
    ASSERT_EQ(mkdir(bin.c_str(), 0755), 0);
    WriteFile(bin + "/browser", "#!/bin/sh\necho \"$@\" >> \"" + dir.File("opened") + "\"\n", true);
    WriteFile(dir.File("OpenURLWithAdminSrc.txt"), "PATH=" + bin + " browser http://old\n");
    m_manager.SetLauncherDirectory(dir.Path());
    ASSERT_EQ(mkdir(dir.File("run").c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", dir.File("run").c_str(), 1);

    ASSERT_TRUE(m_manager.OpenDeviceWeb("00:1A:2B:3C:4D:03"));
    ASSERT_TRUE(WaitForFile(dir.File("opened")));
    EXPECT_EQ(ReadFile(dir.File("opened")), "https://169.254.12.34:8080\n");
    // A device whose address text is not an address: only its second address is used. The
    // recorded camera serves its page over HTTPS, so the port is written out.
    ASSERT_TRUE(m_manager.OpenDeviceWeb("00:1A:2B:3C:4D:04"));
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (ReadFile(dir.File("opened")).find('\n') == ReadFile(dir.File("opened")).rfind('\n') &&
           Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadFile(dir.File("opened")), "https://169.254.12.34:8080\nhttps://169.254.12.34:80\n");
    EXPECT_FALSE(m_manager.OpenDeviceWeb("00:00:00:00:00:09"));
    unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
