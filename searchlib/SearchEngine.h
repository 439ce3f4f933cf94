#pragma once

// The library's one thread and everything it owns: the sockets (one per interface), the probe
// timer, the device table and the requests waiting for answers. Callers only queue commands;
// every socket operation and every callback happens on the thread.

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
    bool SetConfig(const proto::MacBytes& mac, const std::string& xml);
    // Blocks until the device confirms, refuses, or the wait ends; false unless confirmed.
    bool Restore(const proto::MacBytes& mac);
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
        std::shared_ptr<std::promise<bool>> answer;
    };
    struct PendingSetConfig
    {
        std::string text;
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
        std::shared_ptr<std::promise<bool>> answer;
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
    void Handle(const std::string& text);
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
    std::map<std::string, PendingSetConfig> m_setConfigs;
    std::map<std::uint32_t, PendingRestore> m_restores;
};

} // namespace scanix::search
