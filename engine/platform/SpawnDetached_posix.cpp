#include "SpawnDetached.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

constexpr auto kPollPause = std::chrono::milliseconds(2);

class SpawnAttributes
{
public:
    SpawnAttributes()
    {
        posix_spawnattr_init(&m_attr);
        posix_spawn_file_actions_init(&m_actions);
    }
    ~SpawnAttributes()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    posix_spawnattr_t m_attr;
    posix_spawn_file_actions_t m_actions;
};

} // namespace

namespace {

// Starts the program as described for SpawnDetached; -1 when it could not be started.
pid_t Spawn(const std::vector<std::string>& argv)
{
    if (argv.empty()) {
        return -1;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);

    SpawnAttributes spawn;
    // A session of its own: the child outlives a closed terminal and gets no signals meant
    // for ours. Nothing of it shows: its standard streams go to the null device.
    posix_spawnattr_setflags(&spawn.m_attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_addopen(&spawn.m_actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&spawn.m_actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&spawn.m_actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &spawn.m_actions, &spawn.m_attr, args.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

enum class Wait
{
    Ended,
    Running,
    Failed
};

// Polls the child for up to waitMs: Ended with its status, still Running, or Failed when it
// cannot be waited for.
Wait WaitUntil(pid_t pid, int waitMs, int& status)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return Wait::Ended;
        }
        if (done < 0 && errno != EINTR) {
            return Wait::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return Wait::Running;
        }
        std::this_thread::sleep_for(kPollPause);
    }
}

// The caller never waits for the child; a small detached reaper collects its exit status.
void ReapLater(pid_t pid)
{
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

bool SpawnDetached(const std::vector<std::string>& argv)
{
    const pid_t pid = Spawn(argv);
    if (pid < 0) {
        return false;
    }
    ReapLater(pid);
    return true;
}

bool SpawnWatched(const std::vector<std::string>& argv, int watchMs)
{
    const pid_t pid = Spawn(argv);
    if (pid < 0) {
        return false;
    }
    int status = 0;
    switch (WaitUntil(pid, watchMs, status)) {
    case Wait::Ended:
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    case Wait::Failed:
        return false;
    case Wait::Running:
        break;
    }
    ReapLater(pid);
    return true;
}

int RunTool(const std::vector<std::string>& argv, int timeoutMs)
{
    const pid_t pid = Spawn(argv);
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    const Wait result = WaitUntil(pid, timeoutMs, status);
    if (result == Wait::Ended) {
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (result == Wait::Running) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return -1;
}
