#pragma once

// The library's one thread and everything it owns: the sockets (one per interface), the probe
// timer, the device table and the requests waiting for answers. Callers only queue commands;
// every socket operation and every callback happens on the thread.

#include "Crypto.h"
#include "DeviceKeys.h"
#include "DeviceTable.h"
#include "McastSocket.h"
#include "Messages.h"
#include "Scanix_Search.h"
#include "WireMac.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace scanix::search {

class SearchEngine
{
public:
    using Clock = std::chrono::steady_clock;

    // Starts the thread. `spreadMs` is the longest delay a device may take to answer a probe.
    SearchEngine(SCANIX_SEARCH_CALLBACK callback, void* user, int spreadMs);
    ~SearchEngine();
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    void Manual();
    void StartAuto(int seconds);
    void StopAuto();
    // Queues a "searchSetIP" or "scanixSetPassword" document. For a device of the
    // authenticated protocol this derives the password key first (slow once per device and
    // password). False for a document that is neither.
    bool SetConfig(const proto::MacBytes& mac, const std::string& xml);
    // Blocks until the device confirms, refuses, or the wait ends: 1 when confirmed, else 0
    // with a refusal reason in the second byte (ProtocolConstants.h).
    int Restore(const proto::MacBytes& mac);
    // Joins the thread; no callback comes after it returns. Idempotent.
    void Stop();
    bool OnEngineThread() const;
    // Reports of new devices dropped because the device table was full; any thread.
    std::uint64_t DroppedReports() const;

private:
    struct Command
    {
        enum class Type
        {
            Manual,
            StartAuto,
            StopAuto,
            SetConfig,
            Restore,
            Stop
        };
        explicit Command(Type kind)
            : type(kind)
        {}
        Type type;
        int seconds = 0;
        std::string mac;
        std::string text;
        std::uint32_t id = 0;
        std::shared_ptr<std::promise<int>> answer;
        // SetConfig: how the request goes out, and what it needs.
        int mode = 0;
        std::string reason;   // Refuse: why
        std::string key;      // SetIp: the password key; Restore: the proof key
        std::string password; // Activate: the new password, sealed once the device's nonce is in
        std::string devicePublicKey;
        proto::SecureMessage request;
    };
    // How a configuration request is carried.
    enum Mode
    {
        kLegacy,   // the old document, password in clear (the user opted in)
        kSetIp,    // challenge, then a request with a proof under the password key
        kActivate, // challenge, then the new password sealed to the device's key
        kRefuse    // refused by the library itself: only the refusal is delivered
    };
    struct PendingSetConfig
    {
        int mode = kLegacy;
        std::string text;
        // The authenticated protocol: the request before its device nonce, the nonces, the
        // key that proves answers, and the activation's password until it is sealed.
        proto::SecureMessage request;
        std::string clientNonce;
        std::string deviceNonce;
        std::string key;
        std::string sealKey;
        std::string password;
        bool challenged = false;
        Clock::time_point expires;
        Clock::time_point nextSend;
        int sendsLeft = 0;
        // The answer was delivered; the entry stays until it expires, as the device's
        // announcement of its new values is still awaited.
        bool answered = false;
    };
    struct PendingRestore
    {
        std::string mac;
        std::string text;
        std::string clientNonce; // empty: the old protocol
        std::string proofKey;
        std::shared_ptr<std::promise<int>> answer;
        Clock::time_point expires;
        Clock::time_point nextSend;
    };

    void Queue(Command command);
    void Run();
    bool TakeCommands();
    void Execute(Command& command);
    // Sends a search's probes; a periodic one also schedules the next round.
    void StartRound(bool periodic);
    // A periodic round begins: silence is counted, then the search is sent.
    void NextPeriodicRound();
    void RefreshSockets();
    void SendToDevices(const std::string& text);
    void RunTimers(Clock::time_point now);
    int MillisecondsToNextTimer(Clock::time_point now) const;
    // False when the socket failed (its interface went away): the caller closes it.
    bool ReadSocket(proto::McastSocket& sock);
    void Handle(const std::string& text, std::uint32_t source);
    // The authenticated protocol's answers (SearchEngineSecure.cpp).
    void HandleSecure(const proto::Incoming& message, std::uint32_t source);
    void HandleChallenge(const proto::SecureMessage& answer, PendingSetConfig& pending);
    void HandleConfigAnswer(const proto::SecureMessage& answer, PendingSetConfig& pending, std::uint32_t source);
    void HandleResetAnswer(const proto::SecureMessage& answer);
    void StartSetConfig(Command& command, Clock::time_point now);
    void SendSetConfig(PendingSetConfig& pending, Clock::time_point now);
    // Prepares a request on the caller's thread: the slow key derivation happens there.
    Command PrepareSetConfig(const std::string& mac, const std::string& xml) const;
    Command PrepareRestore(const std::string& mac) const;
    void HandleReport(const proto::Incoming& message, const std::string& text);
    // While periodic search is off only what the caller asked for is delivered.
    bool Wanted(const proto::Incoming& message) const;
    void Deliver(const std::string& mac, int kind, const std::string& text);
    void FailPendingRestores();

    SCANIX_SEARCH_CALLBACK m_callback;
    void* m_user;
    int m_spreadMs;
    std::string m_interfaceFilter;
    int m_wakeFd = -1;

    std::mutex m_queueMutex;
    std::deque<Command> m_queue;
    std::once_flag m_stopOnce;
    std::thread m_thread;
    std::atomic<std::thread::id> m_threadId{};
    std::atomic<std::uint32_t> m_nextRequestId;

    // Owned by the thread alone from here on.
    std::vector<std::unique_ptr<proto::McastSocket>> m_sockets;
    DeviceTable m_table;
    std::uint64_t m_round = 0;
    std::uint32_t m_seq = 0;
    int m_intervalSeconds = 0;
    Clock::time_point m_nextRound;
    // Replies before this belong to the last search that was not periodic.
    Clock::time_point m_answersUntil;
    // Replies before this answer the last search, periodic or not: they are kept in
    // preference to reports heard unasked when the table is full.
    Clock::time_point m_repliesUntil;
    std::atomic<std::uint64_t> m_droppedReports{0};
    std::vector<Clock::time_point> m_probeCopies;
    // The searcher's key for this run, the nonces of the latest searches, and the report keys
    // it shares with each device key (Diffie-Hellman once per device).
    proto::crypto::KeyPair m_ownKey;
    std::deque<std::string> m_probeNonces;
    std::map<std::string, std::string> m_reportKeys;
    bool ReportVerified(const proto::Incoming& message, const std::string& text);
    bool CommandsWaiting();
    // Shared with callers (it locks): pinned device keys and cached password keys.
    mutable DeviceKeys m_keys;
    bool m_legacyAllowed = false;
    std::map<std::string, PendingSetConfig> m_setConfigs;
    std::map<std::uint32_t, PendingRestore> m_restores;
};

} // namespace scanix::search
