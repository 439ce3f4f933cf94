#include "SearchEngine.h"

#include "Interfaces.h"
#include "Messages.h"
#include "ProtocolConstants.h"

#include <algorithm>
#include <cstdlib>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace scanix::search {

namespace {

// UDP loses datagrams: each search sends its probe this many times, this far apart.
constexpr int kProbeCopies = 3;
constexpr auto kProbeSpacing = std::chrono::milliseconds(250);
// A device silent for this many consecutive periodic rounds is reported gone.
constexpr std::uint64_t kSilentRounds = 3;
// More devices than any segment holds; beyond it new MACs are dropped, not stored.
constexpr std::size_t kTableCapacity = 8192;
// Devices that left the table whose keys are still pinned (a reboot's bye and hello, a device
// silent for a while); they give their room up first, oldest first.
constexpr std::size_t kReleasedPins = 1024;
constexpr std::size_t kMaxPendingSetConfigs = 64;
constexpr std::size_t kMaxQueuedCommands = 1024;
constexpr auto kRestoreWait = std::chrono::milliseconds(3000);
constexpr auto kRestoreResend = std::chrono::milliseconds(500);
constexpr int kMaxIntervalSeconds = 24 * 3600;
// How long after a search's last probe, beyond the reply spread, its late replies still count.
constexpr auto kAnswerSlack = std::chrono::milliseconds(1500);

} // namespace

SearchEngine::SearchEngine(SCANIX_SEARCH_CALLBACK callback, void* user, int spreadMs)
    : m_callback(callback)
    , m_user(user)
    , m_spreadMs(spreadMs)
    , m_nextRequestId(std::random_device{}())
    , m_table(kTableCapacity)
    , m_ownKey(proto::crypto::GenerateX25519())
    , m_keys(kTableCapacity + kReleasedPins)
{
    const char* legacy = std::getenv(proto::kLegacyOptInVariable);
    m_legacyAllowed = legacy != nullptr && std::string(legacy) == "1";
    const char* filter = std::getenv("SCANIX_SEARCH_IFACES");
    m_interfaceFilter = filter != nullptr ? filter : "";
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    // Devices answer each round (seq) once: two searchers on one host must not share numbers.
    m_seq = std::random_device{}();
    m_thread = std::thread([this] { Run(); });
}

SearchEngine::~SearchEngine()
{
    Stop();
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
    }
}

bool SearchEngine::OnEngineThread() const
{
    return std::this_thread::get_id() == m_threadId.load();
}

std::uint64_t SearchEngine::DroppedReports() const
{
    return m_droppedReports.load();
}

void SearchEngine::Queue(Command command)
{
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        if (m_queue.size() >= kMaxQueuedCommands && command.type != Command::Type::Stop) {
            if (command.answer) {
                command.answer->set_value(0);
            }
            return;
        }
        m_queue.push_back(std::move(command));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wakeFd, &one, sizeof one);
}

void SearchEngine::Manual()
{
    Queue(Command(Command::Type::Manual));
}

void SearchEngine::StartAuto(int seconds)
{
    Command command(Command::Type::StartAuto);
    command.seconds = seconds;
    Queue(std::move(command));
}

void SearchEngine::StopAuto()
{
    Queue(Command(Command::Type::StopAuto));
}

bool SearchEngine::SetConfig(const proto::MacBytes& mac, const std::string& xml)
{
    if (xml.empty() || xml.size() > proto::kMaxDatagram) {
        return false;
    }
    Command command = PrepareSetConfig(proto::FormatMac(mac.data()), xml);
    if (command.type != Command::Type::SetConfig) {
        return false;
    }
    Queue(std::move(command));
    return true;
}

int SearchEngine::Restore(const proto::MacBytes& mac)
{
    // The answer is read by this engine's thread: waiting on it from there would never end.
    if (OnEngineThread()) {
        return 0;
    }
    Command command = PrepareRestore(proto::FormatMac(mac.data()));
    if (command.type != Command::Type::Restore) {
        return command.id; // refused here, before anything was sent
    }
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> result = answer->get_future();
    command.id = m_nextRequestId++;
    command.answer = answer;
    Queue(std::move(command));
    // The thread fulfils every promise by its own deadline or when it stops; this bound is a
    // second guard that never lets a caller hang.
    if (result.wait_for(kRestoreWait + std::chrono::seconds(1)) != std::future_status::ready) {
        return 0;
    }
    return result.get();
}

void SearchEngine::Stop()
{
    std::call_once(m_stopOnce, [this] {
        Queue(Command(Command::Type::Stop));
        if (m_thread.joinable()) {
            m_thread.join();
        }
    });
}

void SearchEngine::Run()
{
    m_threadId = std::this_thread::get_id();
    // Listening starts at once: hello, bye and answers count before the first search.
    RefreshSockets();
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({m_wakeFd, POLLIN, 0});
        for (const auto& sock : m_sockets) {
            fds.push_back({sock->Fd(), POLLIN, 0});
        }
        const int ready = poll(fds.data(), fds.size(), MillisecondsToNextTimer(Clock::now()));
        if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = read(m_wakeFd, &count, sizeof count);
            if (!TakeCommands()) {
                break;
            }
        }
        // Sockets may have been replaced by a command: only those polled are read.
        for (std::size_t i = 1; ready > 0 && i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLERR)) == 0) {
                continue;
            }
            for (auto it = m_sockets.begin(); it != m_sockets.end(); ++it) {
                if ((*it)->Fd() == fds[i].fd) {
                    // A dead socket would wake poll forever; the next search opens a new one.
                    if (!ReadSocket(**it)) {
                        m_sockets.erase(it);
                    }
                    break;
                }
            }
        }
        RunTimers(Clock::now());
    }
    FailPendingRestores();
    m_sockets.clear();
}

bool SearchEngine::TakeCommands()
{
    std::deque<Command> commands;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        commands.swap(m_queue);
    }
    for (Command& command : commands) {
        if (command.type == Command::Type::Stop) {
            // Promises of requests still queued behind the stop are answered "no".
            for (Command& rest : commands) {
                if (rest.answer && rest.type == Command::Type::Restore) {
                    rest.answer->set_value(0);
                    rest.answer.reset();
                }
            }
            return false;
        }
        Execute(command);
    }
    return true;
}

void SearchEngine::Execute(Command& command)
{
    const Clock::time_point now = Clock::now();
    switch (command.type) {
    case Command::Type::Manual:
        m_table.Restart();
        StartRound(false);
        break;
    case Command::Type::StartAuto:
        // The table is kept: a device's last content and its silent rounds carry over, so a
        // new period still reports changes and silence. The round under way goes on.
        m_table.Restart();
        m_intervalSeconds = std::min(command.seconds, kMaxIntervalSeconds);
        StartRound(m_intervalSeconds > 0);
        break;
    case Command::Type::StopAuto:
        m_intervalSeconds = 0;
        m_probeCopies.clear();
        m_answersUntil = now;
        m_repliesUntil = now;
        break;
    case Command::Type::SetConfig:
        if (m_setConfigs.size() >= kMaxPendingSetConfigs && m_setConfigs.count(command.mac) == 0) {
            m_setConfigs.erase(m_setConfigs.begin());
        }
        StartSetConfig(command, now);
        break;
    case Command::Type::Restore: {
        PendingRestore pending;
        pending.mac = command.mac;
        pending.clientNonce = command.request.Get("cnonce");
        pending.proofKey = command.key;
        if (pending.clientNonce.empty()) {
            pending.text = proto::BuildRestore(command.mac, command.id);
        } else {
            command.request.Set("id", std::to_string(command.id));
            pending.text = proto::BuildSecure(command.request);
        }
        pending.answer = std::move(command.answer);
        pending.expires = now + kRestoreWait;
        pending.nextSend = now;
        m_restores[command.id] = std::move(pending);
        break;
    }
    case Command::Type::Stop:
        break;
    }
    RunTimers(now);
}

void SearchEngine::NextPeriodicRound()
{
    ++m_round;
    for (const std::string& mac : m_table.Expire(m_round, kSilentRounds)) {
        m_keys.Release(mac);
        Deliver(mac, SCANIX_KIND_GONE, proto::BuildBye(mac));
    }
    StartRound(true);
}

void SearchEngine::StartRound(bool periodic)
{
    const Clock::time_point now = Clock::now();
    m_repliesUntil = now + (kProbeCopies - 1) * kProbeSpacing + std::chrono::milliseconds(m_spreadMs) + kAnswerSlack;
    if (periodic) {
        m_nextRound = now + std::chrono::seconds(m_intervalSeconds);
    } else {
        m_answersUntil = m_repliesUntil;
    }
    RefreshSockets();
    ++m_seq;
    // Each search has a nonce of its own: a report's tag is bound to it, so a report recorded
    // earlier cannot be passed off as an answer to this search.
    m_probeNonces.push_back(proto::crypto::Hex(proto::crypto::RandomBytes(8)));
    if (m_probeNonces.size() > 3) {
        m_probeNonces.pop_front();
    }
    m_probeCopies.clear();
    for (int copy = 0; copy < kProbeCopies; ++copy) {
        m_probeCopies.push_back(now + copy * kProbeSpacing);
    }
}

void SearchEngine::RunTimers(Clock::time_point now)
{
    if (m_intervalSeconds > 0 && now >= m_nextRound) {
        NextPeriodicRound();
    }
    while (!m_probeCopies.empty() && m_probeCopies.front() <= now) {
        m_probeCopies.erase(m_probeCopies.begin());
        const int copy = kProbeCopies - static_cast<int>(m_probeCopies.size()) - 1;
        SendToDevices(
            proto::BuildProbe(m_seq, copy, m_spreadMs, proto::crypto::Hex(m_ownKey.publicKey), m_probeNonces.back()));
    }
    for (auto it = m_setConfigs.begin(); it != m_setConfigs.end();) {
        PendingSetConfig& pending = it->second;
        if (now >= pending.expires) {
            it = m_setConfigs.erase(it);
            continue;
        }
        if (!pending.answered && pending.sendsLeft > 0 && now >= pending.nextSend) {
            SendSetConfig(pending, now);
        }
        ++it;
    }
    for (auto it = m_restores.begin(); it != m_restores.end();) {
        PendingRestore& pending = it->second;
        if (now >= pending.expires) {
            pending.answer->set_value(0);
            it = m_restores.erase(it);
            continue;
        }
        if (now >= pending.nextSend) {
            SendToDevices(pending.text);
            pending.nextSend = now + kRestoreResend;
        }
        ++it;
    }
}

int SearchEngine::MillisecondsToNextTimer(Clock::time_point now) const
{
    Clock::time_point next = now + std::chrono::seconds(60);
    if (m_intervalSeconds > 0) {
        next = std::min(next, m_nextRound);
    }
    if (!m_probeCopies.empty()) {
        next = std::min(next, m_probeCopies.front());
    }
    for (const auto& [mac, pending] : m_setConfigs) {
        next = std::min(next, !pending.answered && pending.sendsLeft > 0 ? pending.nextSend : pending.expires);
    }
    for (const auto& [id, pending] : m_restores) {
        next = std::min({next, pending.nextSend, pending.expires});
    }
    if (next <= now) {
        return 0;
    }
    // Rounded up, so the wake-up never comes a millisecond early and spins.
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1;
}

void SearchEngine::FailPendingRestores()
{
    for (auto& [id, pending] : m_restores) {
        pending.answer->set_value(0);
    }
    m_restores.clear();
    m_setConfigs.clear();
}

} // namespace scanix::search
