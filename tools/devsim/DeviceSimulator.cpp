#include "DeviceSimulator.h"

#include "Interfaces.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "SecureDevice.h"
#include "WireMac.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

using scanix::proto::Incoming;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kRepeatWindow = std::chrono::seconds(2);
constexpr std::size_t kOversize = 20000;
// Room in the send queue per device (a reply per searcher it tracks, a hello or announce, an
// answer, a bye) and for the rest; beyond it datagrams are not queued, so no input can make the
// queue grow for ever.
constexpr std::size_t kQueuedPerDeviceBesideReplies = 3;
constexpr std::size_t kQueuedSpare = 1024;

} // namespace

DeviceSimulator::DeviceSimulator(Fleet& fleet, const SimOptions& options, std::FILE* log)
    : m_fleet(fleet)
    , m_options(options)
    , m_log(log)
    , m_random(options.seed)
    , m_started(Clock::now())
    , m_replyGuard(ReplyGuard::Limits{})
    , m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{}

DeviceSimulator::~DeviceSimulator()
{
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
    }
}

bool DeviceSimulator::Open(std::string& error)
{
    for (const auto& i : scanix::proto::ListMulticastInterfaces(m_options.interfaces)) {
        std::string why;
        if (auto sock = scanix::proto::McastSocket::Open(i.index, scanix::proto::kDevicePort, &why)) {
            Log("listening on %s", i.name.c_str());
            m_sockets.push_back(std::move(sock));
        } else {
            Log("cannot use %s: %s", i.name.c_str(), why.c_str());
        }
    }
    if (m_sockets.empty()) {
        error = "no usable multicast interface";
        return false;
    }
    return true;
}

void DeviceSimulator::Log(const char* format, ...)
{
    if (m_log == nullptr) {
        return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - m_started).count();
    std::fprintf(m_log, "devsim %8.3f ", seconds);
    va_list args;
    va_start(args, format);
    std::vfprintf(m_log, format, args);
    va_end(args);
    std::fputc('\n', m_log);
    std::fflush(m_log);
}

int DeviceSimulator::RandomDelay(int spreadMs)
{
    const int spread = std::clamp(std::min(spreadMs, m_options.maxDelayMs), 0, scanix::proto::kMaxReplySpreadMs);
    return std::uniform_int_distribution<int>(0, spread)(m_random) + m_options.extraDelayMs;
}

bool DeviceSimulator::Chance(double share)
{
    return share > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < share;
}

void DeviceSimulator::Schedule(int delayMs, Send what, const std::string& mac, std::string text)
{
    ScheduleAt(Clock::now() + std::chrono::milliseconds(delayMs), what, mac, std::move(text));
}

bool DeviceSimulator::ScheduleAt(
    Clock::time_point at, Send what, const std::string& mac, std::string text, const Incoming* probe)
{
    const std::size_t perDevice = kQueuedPerDeviceBesideReplies + m_replyGuard.MostPending();
    if (m_pending.size() >= perDevice * m_fleet.Devices().size() + kQueuedSpare) {
        ++m_queueOverflow;
        return false;
    }
    Pending item{at, m_order++, what, mac, std::move(text), {}, {}};
    if (probe != nullptr) {
        item.searcherKey = probe->searcherKey;
        item.probeNonce = probe->probeNonce;
    }
    m_pending.push(std::move(item));
    return true;
}

// Fleet lock held. Each device on its own: one reply per round of a searcher, at least the
// spread floor, one reply pending per searcher, within its reply rates. A tagged reply is of use
// only to the searcher whose key it was made for, so each key is a searcher of its own; a device
// that answers untagged serves every searcher with one reply.
void DeviceSimulator::AnswerProbe(const Incoming& probe)
{
    const std::uint32_t seq = probe.seq;
    const int spreadMs = probe.spreadMs;
    // The simulator may answer faster than the probe allows, never faster than the floor.
    const int spread = std::min(spreadMs, m_options.maxDelayMs);
    const Clock::time_point now = Clock::now() + std::chrono::milliseconds(m_options.extraDelayMs);
    int answering = 0;
    int copies = 0;
    int limited = 0;
    for (const SimDevice& d : m_fleet.Devices()) {
        if (!d.online) {
            continue;
        }
        const bool tags = !d.legacy && !probe.searcherKey.empty() && !probe.probeNonce.empty();
        const std::string searcher = tags ? probe.searcherKey : std::string();
        Clock::time_point due;
        switch (m_replyGuard.Probe(d.mac, searcher, seq, spread, now, m_random, &due)) {
        case ReplyGuard::Decision::Schedule:
            if (ScheduleAt(due, Send::Reply, d.mac, {}, tags ? &probe : nullptr)) {
                ++answering;
            } else {
                // Not queued: the next round must not count on it.
                m_replyGuard.Forget(d.mac, searcher);
            }
            break;
        case ReplyGuard::Decision::Pending:
            ++answering;
            break;
        case ReplyGuard::Decision::Copy:
            ++copies;
            break;
        case ReplyGuard::Decision::Limited:
            ++limited;
            break;
        }
    }
    Log("probe seq=%u spread=%d (used %d): %d devices answer, %d copies ignored, %d over their reply rate",
        seq,
        spreadMs,
        m_replyGuard.Spread(spread),
        answering,
        copies,
        limited);
}

void DeviceSimulator::Transmit(std::string text, bool isReply)
{
    if (Chance(m_options.dropShare)) {
        return;
    }
    if (isReply && Chance(m_options.malformedShare)) {
        // In turn: cut the document short, put a NUL byte into a text, break its MAC text.
        const auto damage = m_random() % 3;
        if (damage == 0) {
            text.resize(text.size() / 2);
        } else if (damage == 1) {
            const std::size_t at = text.find("</devName>");
            if (at != std::string::npos) {
                text.insert(at, 1, '\0');
            }
        } else {
            const std::size_t at = text.find("<mac>");
            if (at != std::string::npos) {
                text.replace(at + 5, 2, "ZZ");
            }
        }
    } else if (isReply && Chance(m_options.oversizeShare)) {
        text.insert(text.find("</multicastSearchResult>"), "<pad>" + std::string(kOversize, 'x') + "</pad>");
    }
    for (const auto& sock : m_sockets) {
        if (sock->Send(scanix::proto::kSearcherPort, text)) {
            ++m_sent;
        }
    }
}

void DeviceSimulator::SendDue()
{
    const auto now = Clock::now();
    const auto wallNow = std::chrono::system_clock::now();
    while (!m_pending.empty() && m_pending.top().at <= now) {
        Pending item = m_pending.top();
        m_pending.pop();
        if (item.what == Send::Raw) {
            Transmit(item.text, false);
            continue;
        }
        // A reply brought forward for a later round leaves its first schedule behind.
        if (item.what == Send::Reply && !m_replyGuard.Take(item.mac, item.searcherKey, item.at)) {
            continue;
        }
        std::string text;
        {
            std::lock_guard<std::mutex> lock(m_fleet.Lock());
            SimDevice* device = m_fleet.Find(item.mac);
            if (device == nullptr) {
                continue;
            }
            if (item.what == Send::Bye) {
                text = scanix::proto::BuildBye(device->mac);
            } else if (device->online) {
                const char* event = item.what == Send::Reply   ? scanix::proto::kEventReply
                                    : item.what == Send::Hello ? scanix::proto::kEventHello
                                                               : scanix::proto::kEventAnnounce;
                scanix::proto::DeviceFields fields = device->Fields(event, wallNow);
                // An answer to a probe proves the device's key to the searcher that sent it.
                const bool tagged = !device->legacy && !item.searcherKey.empty() && !item.probeNonce.empty();
                fields.probeNonce = tagged ? item.probeNonce : std::string();
                text = scanix::proto::BuildResult(fields);
                if (tagged) {
                    text = scanix::proto::TagReport(text, device->ReportKeyFor(item.searcherKey));
                }
            }
        }
        if (!text.empty()) {
            if (m_options.verbose || item.what != Send::Reply) {
                Log("%s %s",
                    item.what == Send::Reply ? "reply"
                    : item.what == Send::Bye ? "bye"
                                             : "hello/announce",
                    item.mac.c_str());
            }
            Transmit(text, item.what != Send::Bye);
        }
    }
}

void DeviceSimulator::Handle(const std::string& text)
{
    const Incoming message = scanix::proto::ReadMessage(text);
    std::lock_guard<std::mutex> lock(m_fleet.Lock());
    switch (message.type) {
    case Incoming::Type::Probe:
        AnswerProbe(message);
        break;
    case Incoming::Type::SetIp: {
        SimDevice* device = m_fleet.Find(message.mac);
        if (device == nullptr || !device->online) {
            break;
        }
        LastRequest& last = m_lastSetIp[device->mac];
        if (last.text == text && Clock::now() - last.at < kRepeatWindow) {
            Schedule(5, Send::Raw, device->mac, last.answer);
            break;
        }
        // A device of the new protocol never takes a password in clear.
        const int result = device->legacy ? device->ApplySetIp(message.attributes) : 1;
        Log("searchSetIP %s -> result %d (ip %s)", device->mac.c_str(), result, device->ip.c_str());
        last = {text, Clock::now(), scanix::proto::BuildSetIpResult(device->mac, result)};
        Schedule(5 + m_options.extraDelayMs, Send::Raw, device->mac, last.answer);
        if (result == 0) {
            Schedule(20 + m_options.extraDelayMs, Send::Announce, device->mac);
            if (m_onConfigured) {
                m_onConfigured(device->mac);
            }
        }
        break;
    }
    case Incoming::Type::Restore: {
        SimDevice* device = m_fleet.Find(message.mac);
        if (device == nullptr || !device->online) {
            break;
        }
        const bool restored = device->legacy && device->RestoreDefault();
        Log("restore %s id=%u -> %s", device->mac.c_str(), message.id, restored ? "restored" : "refused");
        Schedule(5 + m_options.extraDelayMs,
                 Send::Raw,
                 device->mac,
                 scanix::proto::BuildRestoreResult(device->mac, message.id, restored));
        break;
    }
    case Incoming::Type::Secure: {
        SimDevice* device = m_fleet.Find(message.mac);
        if (device == nullptr || !device->online) {
            break;
        }
        const SecureOutcome outcome = HandleSecureRequest(*device, message.secure, text, m_fleet.tlsKey, Clock::now());
        if (message.secure.root != scanix::proto::kChallengeRoot) {
            Log("%s %s -> %s",
                message.secure.root.c_str(),
                device->mac.c_str(),
                outcome.applied ? "applied" : "not applied");
        }
        if (!outcome.answer.empty()) {
            Schedule(2 + m_options.extraDelayMs, Send::Raw, device->mac, outcome.answer);
        }
        if (outcome.applied) {
            Schedule(20 + m_options.extraDelayMs, Send::Announce, device->mac);
            if (m_onConfigured) {
                m_onConfigured(device->mac);
            }
        }
        break;
    }
    default:
        break;
    }
}
