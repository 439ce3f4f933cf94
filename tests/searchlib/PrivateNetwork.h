#pragma once

// End-to-end test support: every test process runs in private mount, PID and network
// namespaces (the test main re-executes itself under unshare), builds a throw-away topology
// with tools/netns/netns.sh, starts simulators in the device namespaces and moves its own
// main thread into the "pc" namespace. Nothing reaches the machine's own interfaces.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace scanix::test {

// Empty when the process runs in private namespaces, else why not (tests then skip).
const std::string& PrivateNamespaceProblem();
// Re-executes the process under unshare unless already done; returns only when it cannot.
void EnterPrivateNamespaces(int argc, char** argv);

class TestNetwork
{
public:
    // Builds the topology; `fleetAddresses` addresses on the fleet node. Fails the test on error.
    explicit TestNetwork(int fleetAddresses = 1);
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    bool Ok() const
    {
        return m_ok;
    }
    // Namespace name of node pc, lan1, lan2, fleet or bridge.
    std::string Namespace(const std::string& node) const;
    // Moves the calling thread (and the threads it starts later) into the pc namespace.
    bool EnterPc() const;

private:
    bool m_ok = false;
    std::map<std::string, std::string> m_vars;
};

// One scanix-devsim process in a namespace, driven through its control channel.
class Simulator
{
public:
    Simulator(const std::string& ns, const std::vector<std::string>& args);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // True once the simulator said "ready".
    bool Ready() const
    {
        return m_ready;
    }
    // Sends one control line and waits (bounded) for its "ok"; false on "error" or time-out.
    bool Command(const std::string& line);

private:
    bool ReadLine(std::string& line, std::chrono::milliseconds wait);

    int m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    bool m_ready = false;
    std::string m_buffer;
};

// Collects callbacks from the library thread; waits with deadlines.
class CallbackLog
{
public:
    struct Event
    {
        std::string mac;
        int kind;
        std::string xml;
        std::thread::id thread;
    };

    static int Callback(char* mac, int kind, const char* xml, void* user);

    std::vector<Event> Events() const;
    std::size_t Count(int kind) const;
    std::size_t Count(int kind, const std::string& mac) const;
    // Waits until `done` holds for the events, at most `wait`.
    bool WaitFor(const std::function<bool(const std::vector<Event>&)>& done, std::chrono::milliseconds wait) const;
    bool WaitForCount(int kind, std::size_t count, std::chrono::milliseconds wait) const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<Event> m_events;
};

// MAC of the index-th device of a simulator started with --seed seed.
std::string SimMac(int seed, int index);
// Text of one element of a document, empty when absent (plain search, for assertions).
std::string ElementText(const std::string& xml, const std::string& name);

} // namespace scanix::test
