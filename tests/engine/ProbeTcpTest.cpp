#include "ProbeTcp.h"

#include "HostNamespace.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;

// A loopback TCP socket bound to a port of the system's choosing; listening or not.
class LoopbackSocket
{
public:
    explicit LoopbackSocket(bool listening)
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len);
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
        if (listening) {
            listen(m_fd, 4);
        }
    }
    ~LoopbackSocket()
    {
        close(m_fd);
    }
    int Port() const
    {
        return m_port;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

struct Probe
{
    bool answered;
    long long ms;
};

Probe TimedProbe(const char* address, int port, int timeoutMs)
{
    const auto start = Clock::now();
    const bool answered = ProbeTcp(inet_addr(address), port, timeoutMs);
    return {answered, std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()};
}

TEST(ProbeTcp, ListeningPortAnswersAtOnce)
{
    LoopbackSocket listener(true);
    const Probe p = TimedProbe("127.0.0.1", listener.Port(), 200);
    EXPECT_TRUE(p.answered);
    EXPECT_LT(p.ms, 100);
}

TEST(ProbeTcp, PortWithoutListenerIsRefusedAtOnce)
{
    // Bound but not listening: the port is ours, so nothing else can be listening there.
    LoopbackSocket closed(false);
    const Probe p = TimedProbe("127.0.0.1", closed.Port(), 200);
    EXPECT_FALSE(p.answered);
    EXPECT_LT(p.ms, 100);
}

TEST(ProbeTcp, InvalidPortIsFalse)
{
    EXPECT_FALSE(ProbeTcp(inet_addr("127.0.0.1"), 0, 200));
    EXPECT_FALSE(ProbeTcp(inet_addr("127.0.0.1"), 65536, 200));
}

TEST(ProbeTcp, NoHostOnTheLinkWaitsForTheTimeout)
{
    SKIP_WITHOUT_PRIVATE_NETWORK();
    // A link whose far end holds no address: the SYN goes unanswered (no ARP reply).
    ASSERT_TRUE(RunCommand("ip link add pr0 type veth peer name pr1"));
    ASSERT_TRUE(RunCommand("ip addr add 10.99.0.1/24 dev pr0 && ip link set pr0 up && ip link set pr1 up"));
    for (int timeout : {200, 450}) {
        const Probe p = TimedProbe("10.99.0.2", 80, timeout);
        EXPECT_FALSE(p.answered);
        EXPECT_GE(p.ms, timeout - 20);
        EXPECT_LT(p.ms, timeout + 300);
    }
    RunCommand("ip link del pr0");
}

TEST(ProbeTcp, NoRouteIsFalseAtOnce)
{
    SKIP_WITHOUT_PRIVATE_NETWORK();
    const Probe p = TimedProbe("10.123.0.1", 80, 2000);
    EXPECT_FALSE(p.answered);
    EXPECT_LT(p.ms, 100);
}

} // namespace
