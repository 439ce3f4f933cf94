#include "McastSocket.h"

#include "ProtocolConstants.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace scanix::proto {

namespace {

// Room for the largest UDP payload, so that an oversize datagram is seen whole and dropped
// rather than read as a truncated document.
constexpr std::size_t kBufferSize = 65536;
// A burst of a thousand replies must fit while the thread parses.
constexpr int kReceiveBuffer = 4 * 1024 * 1024;

bool SetInt(int fd, int level, int name, int value)
{
    return setsockopt(fd, level, name, &value, sizeof value) == 0;
}

// Without CAP_NET_ADMIN a process may set no more than net.core.rmem_max: ask for the
// largest size allowed (the kernel would cut a larger request down to it anyway).
int UnprivilegedReceiveBuffer()
{
    std::ifstream in("/proc/sys/net/core/rmem_max");
    long long limit = 0;
    if (!(in >> limit) || limit <= 0) {
        return kReceiveBuffer;
    }
    return static_cast<int>(std::min<long long>(kReceiveBuffer, limit));
}

in_addr GroupAddress()
{
    in_addr group{};
    inet_pton(AF_INET, kGroup, &group);
    return group;
}

std::string Failure(const char* step)
{
    return std::string(step) + ": " + std::strerror(errno);
}

} // namespace

McastSocket::McastSocket(int fd, int ifindex)
    : m_fd(fd)
    , m_ifindex(ifindex)
    , m_buffer(new char[kBufferSize + 1])
{}

McastSocket::~McastSocket()
{
    close(m_fd);
}

std::unique_ptr<McastSocket> McastSocket::Open(int ifindex, std::uint16_t port, std::string* error)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = Failure("socket");
        return nullptr;
    }
    std::unique_ptr<McastSocket> sock(new McastSocket(fd, ifindex));

    // Several sockets (one per interface, and other programs) share the port.
    if (!SetInt(fd, SOL_SOCKET, SO_REUSEADDR, 1)) {
        *error = Failure("SO_REUSEADDR");
        return nullptr;
    }
    if (!SetInt(fd, SOL_SOCKET, SO_RCVBUFFORCE, kReceiveBuffer)) {
        SetInt(fd, SOL_SOCKET, SO_RCVBUF, UnprivilegedReceiveBuffer());
    }
    // Binding to the group filters out unicast sent to the port.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr = GroupAddress();
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *error = Failure("bind");
        return nullptr;
    }
    ip_mreqn membership{};
    membership.imr_multiaddr = GroupAddress();
    membership.imr_ifindex = ifindex;
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0) {
        *error = Failure("IP_ADD_MEMBERSHIP");
        return nullptr;
    }
    // Otherwise a socket receives the group from every interface that any socket joined it on.
    if (!SetInt(fd, IPPROTO_IP, IP_MULTICAST_ALL, 0)) {
        *error = Failure("IP_MULTICAST_ALL");
        return nullptr;
    }
    ip_mreqn outgoing{};
    outgoing.imr_ifindex = ifindex;
    if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing) != 0) {
        *error = Failure("IP_MULTICAST_IF");
        return nullptr;
    }
    // Loop-back stays on so that a searcher and devices on one host hear each other; the
    // separate request and answer ports keep a socket from hearing its own messages.
    if (!SetInt(fd, IPPROTO_IP, IP_MULTICAST_TTL, kTtl) || !SetInt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, 1) ||
        !SetInt(fd, IPPROTO_IP, IP_PKTINFO, 1)) {
        *error = Failure("multicast options");
        return nullptr;
    }
    return sock;
}

bool McastSocket::Send(std::uint16_t port, const std::string& text) const
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr = GroupAddress();
    const ssize_t sent =
        sendto(m_fd, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<ssize_t>(text.size());
}

McastSocket::Receive McastSocket::Read(std::string& text)
{
    iovec data{m_buffer.get(), kBufferSize};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    sockaddr_in from{};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(m_fd, &message, MSG_DONTWAIT);
    if (length < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? Receive::Empty : Receive::Failed;
    }
    int arrivedOn = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            arrivedOn = info.ipi_ifindex;
        }
    }
    if (arrivedOn != m_ifindex || length == 0 || static_cast<std::size_t>(length) > kMaxDatagram ||
        (message.msg_flags & MSG_TRUNC) != 0) {
        return Receive::Dropped;
    }
    text.assign(m_buffer.get(), static_cast<std::size_t>(length));
    m_lastSource = from.sin_addr.s_addr;
    return Receive::Datagram;
}

} // namespace scanix::proto
