#include "PrivateNetwork.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace scanix::test {

namespace {

std::string g_problem = "not checked";

std::string RunScript(const std::string& arguments)
{
    const std::string command = std::string("bash ") + SCANIX_NETNS_SCRIPT + " " + arguments;
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[512];
        while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
            output += chunk;
        }
        if (pclose(pipe) != 0) {
            output.clear();
        }
    }
    return output;
}

} // namespace

const std::string& PrivateNamespaceProblem()
{
    return g_problem;
}

void EnterPrivateNamespaces(int argc, char** argv)
{
    if (std::getenv("SCANIX_PRIVATE_NS") != nullptr) {
        g_problem.clear();
        return;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            g_problem = "listing tests only";
            return;
        }
    }
    if (geteuid() != 0) {
        g_problem = "needs root to create private network namespaces (run the tests as root)";
        return;
    }
    if (std::system("unshare --mount --pid --fork --kill-child --mount-proc --net true >/dev/null 2>&1") != 0) {
        g_problem = "unshare cannot create mount, PID and network namespaces here";
        return;
    }
    setenv("SCANIX_PRIVATE_NS", "1", 1);
    // A private /run keeps the namespaces' names invisible to the host; the PID namespace takes
    // every simulator with it when the test ends, however it ends.
    std::vector<char*> args = {const_cast<char*>("unshare"),
                               const_cast<char*>("--mount"),
                               const_cast<char*>("--pid"),
                               const_cast<char*>("--fork"),
                               const_cast<char*>("--kill-child"),
                               const_cast<char*>("--mount-proc"),
                               const_cast<char*>("--net"),
                               const_cast<char*>("/bin/sh"),
                               const_cast<char*>("-c"),
                               const_cast<char*>("mount -t tmpfs tmpfs /run && exec \"$0\" \"$@\"")};
    static char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    self[length > 0 ? length : 0] = '\0';
    args.push_back(self);
    for (int i = 1; i < argc; ++i) {
        args.push_back(argv[i]);
    }
    args.push_back(nullptr);
    execvp("unshare", args.data());
    unsetenv("SCANIX_PRIVATE_NS");
    g_problem = std::string("cannot run unshare: ") + std::strerror(errno);
}

TestNetwork::TestNetwork(int fleetAddresses)
{
    const std::string output =
        RunScript("up --owner " + std::to_string(getpid()) + " --fleet " + std::to_string(fleetAddresses));
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            m_vars[line.substr(0, equals)] = line.substr(equals + 1);
        }
        start = end == std::string::npos ? output.size() : end + 1;
    }
    m_ok = m_vars.count("SCX_ID") > 0;
}

TestNetwork::~TestNetwork()
{
    if (m_ok) {
        RunScript("down " + m_vars["SCX_ID"]);
    }
}

std::string TestNetwork::Namespace(const std::string& node) const
{
    std::string key = "SCX_NS_";
    for (char c : node) {
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    auto found = m_vars.find(key);
    return found == m_vars.end() ? std::string() : found->second;
}

bool TestNetwork::EnterPc() const
{
    const std::string path = "/run/netns/" + Namespace("pc");
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool entered = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return entered;
}

Simulator::Simulator(const std::string& ns, const std::vector<std::string>& args)
{
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        std::vector<char*> argv = {const_cast<char*>("ip"),
                                   const_cast<char*>("netns"),
                                   const_cast<char*>("exec"),
                                   const_cast<char*>(ns.c_str()),
                                   const_cast<char*>(SCANIX_DEVSIM_PATH)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp("ip", argv.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    m_in = toChild[1];
    m_out = fromChild[0];
    std::string line;
    m_ready = ReadLine(line, std::chrono::seconds(10)) && line.rfind("ready", 0) == 0;
}

Simulator::~Simulator()
{
    if (m_pid <= 0) {
        return;
    }
    Command("quit");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    close(m_in);
    close(m_out);
}

bool Simulator::ReadLine(std::string& line, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd fd{m_out, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char chunk[1024];
        const ssize_t got = read(m_out, chunk, sizeof chunk);
        if (got <= 0) {
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
}

bool Simulator::Command(const std::string& line)
{
    const std::string text = line + "\n";
    if (m_in < 0 || write(m_in, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        return false;
    }
    std::string answer;
    while (ReadLine(answer, std::chrono::seconds(3))) {
        if (answer.rfind("ok ", 0) == 0) {
            return true;
        }
        if (answer.rfind("error ", 0) == 0) {
            return false;
        }
    }
    return false;
}

int CallbackLog::Callback(char* mac, int kind, const char* xml, void* user)
{
    auto* log = static_cast<CallbackLog*>(user);
    {
        std::lock_guard<std::mutex> lock(log->m_mutex);
        log->m_events.push_back({mac, kind, xml != nullptr ? xml : "", std::this_thread::get_id()});
    }
    log->m_changed.notify_all();
    return 0;
}

std::vector<CallbackLog::Event> CallbackLog::Events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::size_t CallbackLog::Count(int kind) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t n = 0;
    for (const Event& e : m_events) {
        n += e.kind == kind ? 1 : 0;
    }
    return n;
}

std::size_t CallbackLog::Count(int kind, const std::string& mac) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t n = 0;
    for (const Event& e : m_events) {
        n += (e.kind == kind && e.mac == mac) ? 1 : 0;
    }
    return n;
}

bool CallbackLog::WaitFor(const std::function<bool(const std::vector<Event>&)>& done,
                          std::chrono::milliseconds wait) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, wait, [&] { return done(m_events); });
}

bool CallbackLog::WaitForCount(int kind, std::size_t count, std::chrono::milliseconds wait) const
{
    return WaitFor(
        [&](const std::vector<Event>& events) {
            std::size_t n = 0;
            for (const Event& e : events) {
                n += e.kind == kind ? 1 : 0;
            }
            return n >= count;
        },
        wait);
}

void CallbackLog::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

std::string SimMac(int seed, int index)
{
    char text[18];
    std::snprintf(text,
                  sizeof text,
                  "02:5C:%02X:%02X:%02X:%02X",
                  seed & 0xFF,
                  (index >> 16) & 0xFF,
                  (index >> 8) & 0xFF,
                  index & 0xFF);
    return text;
}

std::string ElementText(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const std::size_t start = xml.find(open);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = xml.find("</" + name + ">", start);
    return end == std::string::npos ? std::string() : xml.substr(start + open.size(), end - start - open.size());
}

} // namespace scanix::test
