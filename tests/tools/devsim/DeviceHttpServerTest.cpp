#include "DeviceHttpServer.h"

#include "DeviceHttpClient.h"
#include "PortDocument.h"

#include <arpa/inet.h>
#include <chrono>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

// A port nobody uses on 127.0.0.64 right now, chosen by the system.
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = inet_addr("127.0.0.64");
    socklen_t len = sizeof addr;
    bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

// One camera on loopback addresses, served in-process.
class DeviceHttpServerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_httpPort = FreePort();
        m_dataPort = FreePort();
    }

    void StartServer(const HttpFaultOptions& faults = HttpFaultOptions())
    {
        FleetPlan plan;
        plan.count = 1;
        plan.firstIp = "127.0.0.64";
        plan.prefix = 8;
        std::string error;
        ASSERT_TRUE(m_fleet->Generate(plan, error)) << error;
        {
            std::lock_guard<std::mutex> lock(m_fleet->Lock());
            SimDevice& d = m_fleet->Devices().front();
            d.httpPort = m_httpPort;
            d.dataPort = m_dataPort;
            d.ip2 = "127.0.0.65";
            m_mac = d.mac;
        }
        m_server = std::make_unique<DeviceHttpServer>(
            *m_fleet, faults, [this](const std::string& mac) { m_announced = mac; }, nullptr);
        ASSERT_EQ(m_server->Start(), 1);
    }

    int Get(const char* host, int port, const char* password, std::string& answer, int waitMs = 1000)
    {
        char* data = nullptr;
        int size = 0;
        const int code = PostDeviceRequest(
            host, port, "admin", password, "/GetPortConfig", &data, &size, nullptr, 0, {waitMs, waitMs});
        const std::unique_ptr<char[]> owned(data);
        answer = data != nullptr ? data : "";
        return code;
    }

    int SetPorts(int http, int data, int rtsp, const char* password = "Admin123")
    {
        DevicePorts ports;
        ports.httpPort = http;
        ports.dataPort = data;
        ports.rtspPort = rtsp;
        const std::string document = BuildPortDocument(ports);
        return PostDeviceConfig("127.0.0.64",
                                m_httpPort,
                                "admin",
                                password,
                                "/SetPortConfig",
                                document.c_str(),
                                static_cast<int>(document.size()),
                                {1000, 1000});
    }

    std::unique_ptr<Fleet> m_fleet = std::make_unique<Fleet>();
    std::unique_ptr<DeviceHttpServer> m_server;
    std::string m_mac;
    std::string m_announced;
    int m_httpPort = 0;
    int m_dataPort = 0;
};

TEST_F(DeviceHttpServerTest, AnswersThePortDocumentOnBothAddressesWithTheRightPassword)
{
    StartServer();
    std::string answer;
    for (const char* host : {"127.0.0.64", "127.0.0.65"}) {
        ASSERT_EQ(Get(host, m_httpPort, "Admin123", answer), DEVICE_REQUEST_OK) << host;
        int value = 0;
        ASSERT_TRUE(ReadPortConfigValue(answer.c_str(), "netPort", value));
        EXPECT_EQ(value, m_dataPort);
        ASSERT_TRUE(ReadPortConfigValue(answer.c_str(), "rtspPort", value));
        EXPECT_EQ(value, 554);
    }
    EXPECT_EQ(Get("127.0.0.64", m_httpPort, "wrong", answer), DEVICE_REQUEST_FAILED);
    EXPECT_EQ(SetPorts(m_httpPort + 2, m_dataPort + 2, 554, "wrong"), DEVICE_CONFIG_FAILED);
}

TEST_F(DeviceHttpServerTest, SetPortConfigMovesTheDeviceAndAnnouncesIt)
{
    StartServer();
    const int newHttp = FreePort();
    const int newData = FreePort();
    ASSERT_EQ(SetPorts(newHttp, newData, 1554), DEVICE_CONFIG_OK);
    std::string answer;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Get("127.0.0.64", newHttp, "Admin123", answer, 200) != DEVICE_REQUEST_OK && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    int value = 0;
    ASSERT_TRUE(ReadPortConfigValue(answer.c_str(), "rtspPort", value)) << answer;
    EXPECT_EQ(value, 1554);
    EXPECT_EQ(Get("127.0.0.64", m_httpPort, "Admin123", answer, 200), DEVICE_REQUEST_FAILED) << "old port closed";
    m_server->Stop();
    EXPECT_EQ(m_announced, m_mac);
    std::lock_guard<std::mutex> lock(m_fleet->Lock());
    EXPECT_EQ(m_fleet->Devices().front().httpPort, newHttp);
    EXPECT_EQ(m_fleet->Devices().front().dataPort, newData);
}

TEST_F(DeviceHttpServerTest, RefusesABrokenPortDocument)
{
    StartServer();
    EXPECT_EQ(SetPorts(0, m_dataPort, 554), DEVICE_CONFIG_FAILED);
    EXPECT_EQ(SetPorts(m_httpPort, 70000, 554), DEVICE_CONFIG_FAILED);
    const char junk[] = "<config><port/></config>";
    EXPECT_EQ(PostDeviceConfig(
                  "127.0.0.64", m_httpPort, "admin", "Admin123", "/SetPortConfig", junk, sizeof junk - 1, {1000, 1000}),
              DEVICE_CONFIG_FAILED);
}

TEST_F(DeviceHttpServerTest, AnswerWithoutContentLengthIsReadWhole)
{
    HttpFaultOptions noLength;
    noLength.noLength = true;
    StartServer(noLength);
    std::string answer;
    EXPECT_EQ(Get("127.0.0.64", m_httpPort, "Admin123", answer), DEVICE_REQUEST_OK);
    EXPECT_NE(answer.find("<netPort"), std::string::npos);
}

TEST_F(DeviceHttpServerTest, SilentHugeAndSlowAnswers)
{
    const struct
    {
        HttpFaultOptions faults;
        int expected;
    } cases[] = {{{0, true, false, false, false}, DEVICE_REQUEST_FAILED},
                 {{0, false, false, true, false}, DEVICE_REQUEST_FAILED},
                 {{600, false, false, false, false}, DEVICE_REQUEST_FAILED},
                 {{100, false, false, false, false}, DEVICE_REQUEST_OK}};
    for (const auto& c : cases) {
        m_fleet = std::make_unique<Fleet>();
        StartServer(c.faults);
        std::string answer;
        const auto start = Clock::now();
        EXPECT_EQ(Get("127.0.0.64", m_httpPort, "Admin123", answer, 300), c.expected);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
        const auto stopping = Clock::now();
        m_server.reset();
        EXPECT_LT(Clock::now() - stopping, std::chrono::milliseconds(1000)) << "held-back answers end on stop";
    }
}

} // namespace
