// The engine's traffic: its sockets, sending to the devices, and reading what they send.

#include "Interfaces.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "SearchEngine.h"

#include <algorithm>

namespace scanix::search {

namespace {

// Datagrams read from one socket before timers get their turn, so a flood cannot starve them.
constexpr int kReadBudget = 256;
// Report keys kept: one per device key, as many as the device table holds.
constexpr std::size_t kReportKeyCapacity = 8192;

} // namespace

void SearchEngine::RefreshSockets()
{
    // Interfaces come and go (a cable plugged in, a VPN): each search looks again.
    const std::vector<proto::Interface> interfaces = proto::ListMulticastInterfaces(m_interfaceFilter);
    m_sockets.erase(std::remove_if(m_sockets.begin(),
                                   m_sockets.end(),
                                   [&](const std::unique_ptr<proto::McastSocket>& sock) {
                                       return std::none_of(
                                           interfaces.begin(), interfaces.end(), [&](const proto::Interface& i) {
                                               return i.index == sock->IfIndex();
                                           });
                                   }),
                    m_sockets.end());
    for (const proto::Interface& i : interfaces) {
        const bool open = std::any_of(
            m_sockets.begin(), m_sockets.end(), [&](const auto& sock) { return sock->IfIndex() == i.index; });
        std::string error;
        if (!open) {
            if (auto sock = proto::McastSocket::Open(i.index, proto::kSearcherPort, &error)) {
                m_sockets.push_back(std::move(sock));
            }
        }
    }
}

void SearchEngine::SendToDevices(const std::string& text)
{
    if (m_sockets.empty()) {
        RefreshSockets();
    }
    for (const auto& sock : m_sockets) {
        sock->Send(proto::kDevicePort, text);
    }
}

bool SearchEngine::ReadSocket(proto::McastSocket& sock)
{
    std::string text;
    for (int i = 0; i < kReadBudget; ++i) {
        // The caller's commands come first: a report read after StopAuto returned must be
        // judged as StopAuto says, however long the backlog of datagrams.
        if (CommandsWaiting()) {
            return true;
        }
        const proto::McastSocket::Receive got = sock.Read(text);
        if (got == proto::McastSocket::Receive::Failed) {
            return false;
        }
        if (got == proto::McastSocket::Receive::Empty) {
            return true;
        }
        if (got == proto::McastSocket::Receive::Datagram) {
            Handle(text, sock.LastSource());
        }
    }
    return true;
}

void SearchEngine::Handle(const std::string& text, std::uint32_t source)
{
    const proto::Incoming message = proto::ReadMessage(text);
    switch (message.type) {
    case proto::Incoming::Type::Result:
        if (message.hasSetIpResult) {
            // The old protocol's unauthenticated answer counts only for a request the user
            // chose to send the old way, and only the first one.
            const auto pending = m_setConfigs.find(message.mac);
            if (pending != m_setConfigs.end() && !pending->second.answered && pending->second.mode == kLegacy) {
                pending->second.answered = true;
                Deliver(message.mac, SCANIX_KIND_SETIP_ANSWER, text);
            }
            break;
        }
        // A report that contradicts the device's pinned key or address is a forgery.
        if (Wanted(message) &&
            m_keys.Admit(
                message.mac, message.hasAuth, ReportVerified(message, text), message.publicKey, message.salt, source)) {
            HandleReport(message, text);
        }
        break;
    case proto::Incoming::Type::Bye: {
        const std::optional<DeviceKeys::Device> device = m_keys.Find(message.mac);
        if (device && device->source != source) {
            break;
        }
        if (Wanted(message) && m_table.Bye(message.mac)) {
            m_keys.Release(message.mac);
            Deliver(message.mac, SCANIX_KIND_GONE, text);
        }
        break;
    }
    case proto::Incoming::Type::RestoreResult: {
        auto pending = m_restores.find(message.id);
        if (pending != m_restores.end() && pending->second.mac == message.mac && pending->second.clientNonce.empty()) {
            pending->second.answer->set_value(message.restored ? 1 : 0);
            m_restores.erase(pending);
        }
        break;
    }
    case proto::Incoming::Type::Secure:
        HandleSecure(message, source);
        break;
    default:
        break;
    }
}

void SearchEngine::HandleReport(const proto::Incoming& message, const std::string& text)
{
    const bool answer = message.event == proto::kEventReply && Clock::now() < m_repliesUntil;
    std::string evicted;
    const DeviceTable::Verdict verdict = m_table.Report(message.mac, message.fingerprint, m_round, answer, &evicted);
    m_droppedReports.store(m_table.Dropped());
    // The keys follow the table: what it did not take, or gave up, no longer holds their room.
    if (verdict == DeviceTable::Verdict::Full) {
        m_keys.Release(message.mac);
    }
    if (!evicted.empty()) {
        // A device given up to make room for one that answered: the caller's list follows
        // the table.
        m_keys.Release(evicted);
        Deliver(evicted, SCANIX_KIND_GONE, proto::BuildBye(evicted));
    }
    switch (verdict) {
    case DeviceTable::Verdict::Found:
        Deliver(message.mac, SCANIX_KIND_FOUND, text);
        break;
    case DeviceTable::Verdict::FoundChanged:
        // Found again for a caller that emptied its list, changed for one that kept it.
        Deliver(message.mac, SCANIX_KIND_FOUND, text);
        Deliver(message.mac, SCANIX_KIND_CHANGED, text);
        break;
    case DeviceTable::Verdict::Changed:
        Deliver(message.mac, SCANIX_KIND_CHANGED, text);
        break;
    case DeviceTable::Verdict::Same:
    case DeviceTable::Verdict::Full:
        break;
    }
}

bool SearchEngine::CommandsWaiting()
{
    std::lock_guard<std::mutex> lock(m_queueMutex);
    return !m_queue.empty();
}

bool SearchEngine::ReportVerified(const proto::Incoming& message, const std::string& text)
{
    if (!message.hasAuth || message.probeNonce.empty() ||
        std::find(m_probeNonces.begin(), m_probeNonces.end(), message.probeNonce) == m_probeNonces.end()) {
        return false;
    }
    auto key = m_reportKeys.find(message.publicKey);
    if (key == m_reportKeys.end()) {
        if (m_reportKeys.size() >= kReportKeyCapacity) {
            m_reportKeys.erase(m_reportKeys.begin());
        }
        key = m_reportKeys.emplace(message.publicKey, proto::ReportKey(m_ownKey.privateKey, message.publicKey)).first;
    }
    return proto::CheckReportTag(text, key->second);
}

bool SearchEngine::Wanted(const proto::Incoming& message) const
{
    if (m_intervalSeconds > 0) {
        return true;
    }
    // Searching only on demand: devices neither come nor go by themselves. What is still
    // delivered is the answer to the caller's own search and the announcement of the device
    // a configuration request is waiting for.
    if (message.type == proto::Incoming::Type::Bye) {
        return false;
    }
    if (message.event == proto::kEventReply && Clock::now() < m_answersUntil) {
        return true;
    }
    return m_setConfigs.count(message.mac) > 0;
}

void SearchEngine::Deliver(const std::string& mac, int kind, const std::string& text)
{
    // The callee may write into the MAC text (it upper-cases in place): give it its own copy.
    char writable[18] = {};
    mac.copy(writable, sizeof writable - 1);
    m_callback(writable, kind, text.c_str(), m_user);
}

} // namespace scanix::search
