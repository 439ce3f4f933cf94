#pragma once

// The simulator's discovery side: one socket per interface on the device port, answers to
// probes after a random delay, hello and bye, "searchSetIP" and restore requests, fault
// injection, a control channel on standard input, and a log.

#include "Fleet.h"
#include "McastSocket.h"
#include "Messages.h"
#include "ReplyGuard.h"

#include <queue>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

struct SimOptions
{
    std::string interfaces;    // as SCANIX_SEARCH_IFACES: empty for every multicast interface
    int maxDelayMs = 1000;     // a device never waits longer than this (nor than the probe's spread)
    int extraDelayMs = 0;      // added to every answer
    double dropShare = 0;      // share of outgoing datagrams silently dropped
    double malformedShare = 0; // share of replies sent damaged
    double oversizeShare = 0;  // share of replies padded beyond the largest datagram
    bool hello = true;         // announce every device at start and on "on"
    bool byeOnExit = true;
    bool verbose = false; // log every reply, not only events
    std::uint32_t seed = 1;
};

class DeviceSimulator
{
public:
    DeviceSimulator(Fleet& fleet, const SimOptions& options, std::FILE* log);
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;
    // Opens the sockets; false with a reason when none could be opened.
    bool Open(std::string& error);
    // Runs until "quit" on standard input or SIGINT/SIGTERM.
    int Run();
    // Any thread: has the device announce itself soon (its ports changed over HTTP).
    void RequestAnnounce(const std::string& mac);
    // Called on the loop thread, fleet lock held, after a device applied a "searchSetIP" or
    // a "set" control command.
    void OnConfigured(std::function<void(const std::string& mac)> hook);

private:
    enum class Send
    {
        Reply,
        Hello,
        Announce,
        Bye,
        Raw
    };
    struct Pending
    {
        std::chrono::steady_clock::time_point at;
        std::uint64_t order;
        Send what;
        std::string mac;
        std::string text;        // Raw only
        std::string searcherKey; // Reply: the probe's key and nonce, for the report's tag
        std::string probeNonce;
        bool operator>(const Pending& other) const
        {
            return at != other.at ? at > other.at : order > other.order;
        }
    };

    // The library repeats a request until answered: a repeat is answered again, not re-applied.
    struct LastRequest
    {
        std::string text;
        std::chrono::steady_clock::time_point at;
        std::string answer;
    };

    void Schedule(int delayMs, Send what, const std::string& mac, std::string text = {});
    // False when the queue is full and the datagram was not queued. A reply carries the key and
    // nonce of the probe it answers, for its tag.
    bool ScheduleAt(std::chrono::steady_clock::time_point at,
                    Send what,
                    const std::string& mac,
                    std::string text,
                    const scanix::proto::Incoming* probe = nullptr);
    void AnswerProbe(const scanix::proto::Incoming& probe);
    void SendDue();
    void Transmit(std::string text, bool isReply);
    void Handle(const std::string& text);
    void TakeAnnounceRequests();
    void Control(const std::string& line);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int RandomDelay(int spreadMs);
    bool Chance(double share);

    Fleet& m_fleet;
    SimOptions m_options;
    std::FILE* m_log;
    std::vector<std::unique_ptr<scanix::proto::McastSocket>> m_sockets;
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> m_pending;
    std::uint64_t m_order = 0;
    std::mt19937 m_random;
    std::chrono::steady_clock::time_point m_started;
    std::string m_stdinBuffer;
    bool m_stdinOpen = true;
    bool m_quit = false;
    std::uint64_t m_sent = 0;
    ReplyGuard m_replyGuard;
    // Datagrams not queued because the queue was full.
    std::uint64_t m_queueOverflow = 0;
    std::map<std::string, LastRequest> m_lastSetIp;
    std::function<void(const std::string&)> m_onConfigured;
    // Announcements asked for by other threads; m_wakeFd wakes the loop for them.
    std::mutex m_requestLock;
    std::vector<std::string> m_announceRequests;
    int m_wakeFd = -1;
};
