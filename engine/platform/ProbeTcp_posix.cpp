#include "ProbeTcp.h"

#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class SocketHandle
{
public:
    explicit SocketHandle(int fd)
        : m_fd(fd)
    {}
    ~SocketHandle()
    {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    int Get() const
    {
        return m_fd;
    }

private:
    int m_fd;
};

} // namespace

bool ProbeTcp(std::uint32_t address, int port, int timeoutMs)
{
    if (port <= 0 || port > 65535) {
        return false;
    }
    SocketHandle sock(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (sock.Get() < 0) {
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<std::uint16_t>(port));
    peer.sin_addr.s_addr = address;
    if (connect(sock.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd pfd{sock.Get(), POLLOUT, 0};
        const int ready = poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        // A refused connection also wakes the wait; only a connection without error counts.
        int error = 0;
        socklen_t length = sizeof error;
        return getsockopt(sock.Get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
}
