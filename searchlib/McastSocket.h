#pragma once

// One UDP socket bound to the discovery group on one interface. The interface is named by index
// for both sending (IP_MULTICAST_IF) and joining (IP_ADD_MEMBERSHIP), because without a default
// route the kernel cannot choose one: sends fail with ENETUNREACH and joins with ENODEV.

#include <cstdint>
#include <memory>
#include <string>

namespace scanix::proto {

class McastSocket
{
public:
    enum class Receive
    {
        Datagram, // `text` holds one datagram of acceptable size from this socket's interface
        Dropped,  // a datagram was read and thrown away (oversize, empty, other interface)
        Empty,    // nothing waiting
        Failed    // the socket is unusable
    };

    // Binds to the group on `port`, joins it on interface `ifindex`. Null with a reason in
    // `error` when any step fails.
    static std::unique_ptr<McastSocket> Open(int ifindex, std::uint16_t port, std::string* error);
    ~McastSocket();
    McastSocket(const McastSocket&) = delete;
    McastSocket& operator=(const McastSocket&) = delete;

    int Fd() const
    {
        return m_fd;
    }
    int IfIndex() const
    {
        return m_ifindex;
    }

    // Sends `text` to the group on `port` through this socket's interface.
    bool Send(std::uint16_t port, const std::string& text) const;
    // Reads one datagram without blocking.
    Receive Read(std::string& text);
    // The sender's IPv4 address (network byte order) of the last datagram Read returned.
    std::uint32_t LastSource() const
    {
        return m_lastSource;
    }

private:
    McastSocket(int fd, int ifindex);

    int m_fd;
    int m_ifindex;
    std::unique_ptr<char[]> m_buffer;
    std::uint32_t m_lastSource = 0;
};

} // namespace scanix::proto
