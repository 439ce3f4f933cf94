#include "DeviceHttpClient.h"

#include "HttpTestServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

const char kPassword[] = "secret";

// Short time-outs keep the failure cases quick; the server answers on loopback at once.
const DeviceHttpTimeouts kShort{500, 500};

struct Answer
{
    int code = 0;
    std::unique_ptr<char[]> data;
    int size = 0;
};

Answer Request(int port,
               const char* path,
               const char* password = kPassword,
               const char* body = nullptr,
               const DeviceHttpTimeouts& timeouts = DeviceHttpTimeouts())
{
    Answer a;
    char* data = nullptr;
    a.code = PostDeviceRequest("127.0.0.1",
                               port,
                               "admin",
                               password,
                               path,
                               &data,
                               &a.size,
                               body,
                               body != nullptr ? static_cast<int>(std::string(body).size()) : 0,
                               timeouts);
    a.data.reset(data);
    return a;
}

int Config(int port, const char* path, const char* password = kPassword, const DeviceHttpTimeouts& t = kShort)
{
    const char body[] = "<config/>";
    return PostDeviceConfig("127.0.0.1", port, "admin", password, path, body, sizeof body - 1, t);
}

long long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class DeviceHttpClientTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_server.Port(), 0) << "the python test server did not start";
    }
    int Port() const
    {
        return m_server.Port();
    }

private:
    HttpTestServer m_server{kPassword};
};

TEST_F(DeviceHttpClientTest, ReadsTheAnswerIntoAZeroTerminatedBufferOfContentLengthPlusOne)
{
    const Answer a = Request(Port(), "/ok");
    ASSERT_EQ(a.code, DEVICE_REQUEST_OK);
    ASSERT_EQ(a.size, 11);
    EXPECT_EQ(std::string(a.data.get(), 10), "0123456789");
    EXPECT_EQ(a.data[10], '\0');
}

TEST_F(DeviceHttpClientTest, PostsOverHttp10WithTheAgentTextAndBasicAuthentication)
{
    const Answer a = Request(Port(), "/echo", kPassword, "<port>1</port>");
    ASSERT_EQ(a.code, DEVICE_REQUEST_OK);
    const std::string echo(a.data.get());
    EXPECT_NE(echo.find("POST /echo HTTP/1.0\r\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("User-Agent: User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)"),
              std::string::npos)
        << echo;
    EXPECT_NE(echo.find("Authorization: Basic YWRtaW46c2VjcmV0"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Content-Length: 14"), std::string::npos) << echo;
    EXPECT_EQ(echo.compare(echo.size() - 14, 14, "<port>1</port>"), 0) << echo;
}

TEST_F(DeviceHttpClientTest, WrongPasswordFailsWithBothCalls)
{
    EXPECT_EQ(Request(Port(), "/ok", "wrong").code, DEVICE_REQUEST_FAILED);
    EXPECT_EQ(Config(Port(), "/ok", "wrong"), DEVICE_CONFIG_FAILED);
    EXPECT_EQ(Config(Port(), "/ok"), DEVICE_CONFIG_OK);
}

TEST_F(DeviceHttpClientTest, OnlyStatus200IsSuccess)
{
    const struct
    {
        const char* path;
        int request;
        int config;
    } cases[] = {{"/status/200", DEVICE_REQUEST_OK, DEVICE_CONFIG_OK},
                 {"/status/201", DEVICE_REQUEST_FAILED, DEVICE_CONFIG_FAILED},
                 {"/status/204", DEVICE_REQUEST_FAILED, DEVICE_CONFIG_FAILED},
                 {"/status/302", DEVICE_REQUEST_FAILED, DEVICE_CONFIG_FAILED},
                 {"/status/404", DEVICE_REQUEST_FAILED, DEVICE_CONFIG_FAILED},
                 {"/status/500", DEVICE_REQUEST_FAILED, DEVICE_CONFIG_FAILED}};
    for (const auto& c : cases) {
        EXPECT_EQ(Request(Port(), c.path).code, c.request) << c.path;
        EXPECT_EQ(Config(Port(), c.path), c.config) << c.path;
    }
}

TEST_F(DeviceHttpClientTest, AnswerWithoutContentLengthIsReadToItsEnd)
{
    const Answer a = Request(Port(), "/nolength");
    ASSERT_EQ(a.code, DEVICE_REQUEST_OK);
    EXPECT_EQ(std::string(a.data.get()), "<config>no length</config>");
    EXPECT_EQ(a.size, 27);
}

TEST_F(DeviceHttpClientTest, HugeContentLengthIsRefusedBeforeAnyAllocation)
{
    const auto start = Clock::now();
    EXPECT_EQ(Request(Port(), "/huge", kPassword, nullptr, kShort).code, DEVICE_REQUEST_FAILED);
    EXPECT_LT(MillisecondsSince(start), 400) << "refused on the announced length, not by a time-out";
}

TEST_F(DeviceHttpClientTest, AnswerOverTheCapWithoutContentLengthIsRefused)
{
    EXPECT_EQ(Request(Port(), "/stream").code, DEVICE_REQUEST_FAILED);
}

TEST_F(DeviceHttpClientTest, ConfigLooksOnlyAtTheStatusNotTheBody)
{
    const auto start = Clock::now();
    EXPECT_EQ(Config(Port(), "/huge"), DEVICE_CONFIG_OK);
    EXPECT_EQ(Config(Port(), "/stream"), DEVICE_CONFIG_OK);
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(DeviceHttpClientTest, ServerThatNeverAnswersIsBoundedByTheReceiveTimeout)
{
    const DeviceHttpTimeouts t{300, 300};
    auto start = Clock::now();
    EXPECT_EQ(Request(Port(), "/silent", kPassword, nullptr, t).code, DEVICE_REQUEST_FAILED);
    EXPECT_LT(MillisecondsSince(start), 2000);
    start = Clock::now();
    EXPECT_EQ(Config(Port(), "/silent", kPassword, t), DEVICE_CONFIG_FAILED);
    EXPECT_LT(MillisecondsSince(start), 2000);
}

TEST_F(DeviceHttpClientTest, CredentialsLongerThanTheBuffersAreRefused)
{
    // admin + 39 bytes of password is the longest pair that fits.
    const std::string fits(39, 'p');
    const std::string tooLong(40, 'p');
    HttpTestServer fitting(fits);
    HttpTestServer overlong(tooLong);
    ASSERT_NE(fitting.Port(), 0);
    ASSERT_NE(overlong.Port(), 0);
    EXPECT_EQ(Request(fitting.Port(), "/ok", fits.c_str()).code, DEVICE_REQUEST_OK);
    EXPECT_EQ(Request(overlong.Port(), "/ok", tooLong.c_str()).code, DEVICE_REQUEST_FAILED);
    EXPECT_EQ(Config(overlong.Port(), "/ok", tooLong.c_str()), DEVICE_CONFIG_FAILED);
}

TEST_F(DeviceHttpClientTest, RefusesAHostThatIsNotADottedAddressOrAPathThatIsNotPlain)
{
    char* data = nullptr;
    int size = 0;
    const std::string hostWithPath = "127.0.0.1:" + std::to_string(Port()) + "/ok#";
    // 0.0.0.0 is a device's unset second address; connecting to it would reach this host.
    for (const char* host : {"localhost", "", "127.0.0.1 ", hostWithPath.c_str(), "0.0.0.0"}) {
        EXPECT_EQ(PostDeviceRequest(host, Port(), "admin", kPassword, "/ok", &data, &size, nullptr, 0, kShort),
                  DEVICE_REQUEST_FAILED)
            << host;
        EXPECT_EQ(PostDeviceConfig(host, Port(), "admin", kPassword, "/ok", "x", 1, kShort), DEVICE_CONFIG_FAILED)
            << host;
    }
    for (const char* path : {"ok", "/ok HTTP/1.1\r\nX: y", "/ok?x"}) {
        EXPECT_EQ(Request(Port(), path).code, DEVICE_REQUEST_FAILED) << path;
    }
    EXPECT_EQ(data, nullptr);
}

// Listening socket whose accept queue is full, so further SYNs are dropped and a connect
// to it never completes.
class FullListener
{
public:
    FullListener()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(m_listener, reinterpret_cast<sockaddr*>(&addr), len);
        listen(m_listener, 0);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        for (int& fd : m_fillers) {
            fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(fd, reinterpret_cast<sockaddr*>(&addr), len);
        }
    }
    ~FullListener()
    {
        for (int fd : m_fillers) {
            close(fd);
        }
        close(m_listener);
    }
    int Port() const
    {
        return m_port;
    }

private:
    int m_listener = -1;
    int m_fillers[2] = {-1, -1};
    int m_port = 0;
};

TEST(DeviceHttpClient, ConnectionThatNeverCompletesIsBoundedByTheConnectTimeout)
{
    FullListener listener;
    const DeviceHttpTimeouts t{300, 5000};
    const auto start = Clock::now();
    char* data = nullptr;
    int size = 0;
    EXPECT_EQ(PostDeviceRequest("127.0.0.1", listener.Port(), "admin", "x", "/ok", &data, &size, nullptr, 0, t),
              DEVICE_REQUEST_FAILED);
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 250) << "the connection should have hung until the connect time-out";
    EXPECT_LT(elapsed, 2500);
}

} // namespace
