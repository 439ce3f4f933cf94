// The simulator's event loop and its control channel (one command per line on standard input,
// each acknowledged with "ok ..." or "error ..." on standard output, so that a test can wait
// for a change to be in effect before it looks for its consequences).

#include "DeviceSimulator.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "WireMac.h"

#include <csignal>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kMaxControlLine = 64 * 1024;

} // namespace

void DeviceSimulator::Control(const std::string& line)
{
    std::istringstream in(line);
    std::string command;
    std::string target;
    in >> command >> target;
    if (command.empty()) {
        return;
    }
    if (command == "quit") {
        m_quit = true;
        std::printf("ok quit\n");
        std::fflush(stdout);
        return;
    }
    if (command == "stats") {
        std::printf("ok stats sent=%llu copies=%llu limited=%llu unqueued=%llu\n",
                    static_cast<unsigned long long>(m_sent),
                    static_cast<unsigned long long>(m_replyGuard.Totals().copies),
                    static_cast<unsigned long long>(m_replyGuard.Totals().limited),
                    static_cast<unsigned long long>(m_queueOverflow));
        std::fflush(stdout);
        return;
    }
    const std::string mac = target == "all" ? target : scanix::proto::NormalizeMac(target);
    int touched = 0;
    bool good = !mac.empty();
    {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        for (SimDevice& d : m_fleet.Devices()) {
            if (!good || (mac != "all" && d.mac != mac)) {
                continue;
            }
            ++touched;
            if (command == "off") {
                d.online = false;
                Schedule(0, Send::Bye, d.mac);
            } else if (command == "mute") {
                d.online = false;
            } else if (command == "on") {
                d.online = true;
                Schedule(0, Send::Hello, d.mac);
            } else if (command == "button") {
                // A short press of the reset button: restore is possible for five minutes.
                d.restoreWindowUntil = Clock::now() + std::chrono::minutes(5);
            } else if (command == "announce") {
                Schedule(0, Send::Announce, d.mac);
            } else if (command == "set") {
                std::istringstream pairs(line);
                std::string skip;
                pairs >> skip >> skip;
                for (std::string pair; pairs >> pair;) {
                    const std::size_t equals = pair.find('=');
                    good =
                        good && equals != std::string::npos && d.Set(pair.substr(0, equals), pair.substr(equals + 1));
                }
                if (good && m_onConfigured) {
                    m_onConfigured(d.mac);
                }
            } else {
                good = false;
            }
        }
    }
    if (good && touched > 0) {
        Log("control: %s", line.c_str());
        std::printf("ok %s %d\n", command.c_str(), touched);
    } else {
        std::printf("error %s\n", line.c_str());
    }
    std::fflush(stdout);
}

void DeviceSimulator::RequestAnnounce(const std::string& mac)
{
    std::lock_guard<std::mutex> lock(m_requestLock);
    m_announceRequests.push_back(mac);
    const std::uint64_t one = 1;
    if (m_wakeFd >= 0 && write(m_wakeFd, &one, sizeof one) < 0) {
        Log("announce %s: cannot wake the loop", mac.c_str());
    }
}

void DeviceSimulator::OnConfigured(std::function<void(const std::string& mac)> hook)
{
    m_onConfigured = std::move(hook);
}

void DeviceSimulator::TakeAnnounceRequests()
{
    std::uint64_t count = 0;
    if (read(m_wakeFd, &count, sizeof count) < 0) {
        return;
    }
    std::vector<std::string> macs;
    {
        std::lock_guard<std::mutex> lock(m_requestLock);
        macs.swap(m_announceRequests);
    }
    std::lock_guard<std::mutex> lock(m_fleet.Lock());
    for (const std::string& mac : macs) {
        Schedule(0, Send::Announce, mac);
    }
}

int DeviceSimulator::Run()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);

    if (m_options.hello) {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        for (const SimDevice& d : m_fleet.Devices()) {
            Schedule(RandomDelay(m_options.maxDelayMs), Send::Hello, d.mac);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        std::printf("ready %zu devices\n", m_fleet.Devices().size());
        std::fflush(stdout);
    }

    std::vector<pollfd> fds;
    std::string text;
    char chunk[4096];
    while (!m_quit) {
        fds.clear();
        fds.push_back({signalFd, POLLIN, 0});
        fds.push_back({m_stdinOpen ? STDIN_FILENO : -1, POLLIN, 0});
        for (const auto& sock : m_sockets) {
            fds.push_back({sock->Fd(), POLLIN, 0});
        }
        fds.push_back({m_wakeFd, POLLIN, 0});
        int timeout = -1;
        if (!m_pending.empty()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_pending.top().at - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        if (poll(fds.data(), fds.size(), timeout) > 0) {
            if (fds[0].revents != 0) {
                Log("signal: leaving");
                break;
            }
            if (fds[1].revents != 0) {
                const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
                if (got <= 0) {
                    m_stdinOpen = false; // run on without a control channel
                } else {
                    m_stdinBuffer.append(chunk, static_cast<std::size_t>(got));
                    for (std::size_t end; (end = m_stdinBuffer.find('\n')) != std::string::npos;) {
                        const std::string line = m_stdinBuffer.substr(0, end);
                        m_stdinBuffer.erase(0, end + 1);
                        Control(line);
                    }
                    // No command is this long: a line without end is thrown away, not kept.
                    if (m_stdinBuffer.size() > kMaxControlLine) {
                        m_stdinBuffer.clear();
                    }
                }
            }
            if (fds.back().revents != 0) {
                TakeAnnounceRequests();
            }
            for (std::size_t i = 2; i < 2 + m_sockets.size(); ++i) {
                if (fds[i].revents == 0) {
                    continue;
                }
                for (int budget = 0; budget < 256; ++budget) {
                    const auto got = m_sockets[i - 2]->Read(text);
                    if (got == scanix::proto::McastSocket::Receive::Empty ||
                        got == scanix::proto::McastSocket::Receive::Failed) {
                        break;
                    }
                    if (got == scanix::proto::McastSocket::Receive::Datagram) {
                        Handle(text);
                    }
                }
            }
        }
        SendDue();
    }
    if (m_options.byeOnExit) {
        std::lock_guard<std::mutex> lock(m_fleet.Lock());
        for (const SimDevice& d : m_fleet.Devices()) {
            if (d.online) {
                for (const auto& sock : m_sockets) {
                    sock->Send(scanix::proto::kSearcherPort, scanix::proto::BuildBye(d.mac));
                }
            }
        }
    }
    close(signalFd);
    Log("sent %llu datagrams", static_cast<unsigned long long>(m_sent));
    return 0;
}
