#include "SegmentProbe.h"

#include "NeighbourProbe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The port nearly every device and computer with a web page listens on, or refuses on.
constexpr std::uint16_t kProbePort = 80;

class Socket
{
public:
    Socket()
        : m_fd(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0))
    {}
    ~Socket()
    {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    Socket(Socket&& other) noexcept
        : m_fd(other.m_fd)
    {
        other.m_fd = -1;
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket& operator=(Socket&&) = delete;

    int fd() const
    {
        return m_fd;
    }

private:
    int m_fd;
};

bool HostAnswered(int error)
{
    return error == 0 || error == ECONNREFUSED;
}

} // namespace

std::set<std::uint32_t> AnsweringAddresses(const std::vector<std::uint32_t>& candidates, std::chrono::milliseconds wait)
{
    std::set<std::uint32_t> answering;
    std::vector<Socket> sockets;
    std::vector<pollfd> pending;
    std::vector<std::uint32_t> pendingAddress;
    for (std::size_t i = 0; i < candidates.size() && i < kMaxProbed; ++i) {
        Socket s;
        if (s.fd() < 0) {
            break;
        }
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(kProbePort);
        to.sin_addr.s_addr = htonl(candidates[i]);
        if (connect(s.fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 || errno == ECONNREFUSED) {
            answering.insert(candidates[i]);
        } else if (errno == EINPROGRESS) {
            pending.push_back({s.fd(), POLLOUT, 0});
            pendingAddress.push_back(candidates[i]);
            sockets.push_back(std::move(s));
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::size_t open = pending.size();
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(pending.data(), pending.size(), static_cast<int>(left.count())) <= 0) {
            break;
        }
        for (std::size_t i = 0; i < pending.size(); ++i) {
            if (pending[i].fd < 0 || pending[i].revents == 0) {
                continue;
            }
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(pending[i].fd, SOL_SOCKET, SO_ERROR, &error, &length);
            if (HostAnswered(error)) {
                answering.insert(pendingAddress[i]);
            }
            // Negative descriptors are skipped by poll.
            pending[i].fd = -1;
            --open;
        }
    }
    // Hosts that dropped the connection attempt still answered its address resolution; the
    // neighbour table is read once, without waiting any longer.
    std::vector<std::uint32_t> asked;
    for (std::size_t i = 0; i < candidates.size() && i < kMaxProbed; ++i) {
        asked.push_back(htonl(candidates[i]));
    }
    for (const NeighbourAnswer& answer : ProbeNeighbours(asked, 0)) {
        if (!answer.mac.empty()) {
            answering.insert(ntohl(answer.address));
        }
    }
    return answering;
}
