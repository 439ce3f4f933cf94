#include "SpawnDetached.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

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

bool SpawnDetached(const std::vector<std::string>& argv)
{
    if (argv.empty()) {
        return false;
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
        return false;
    }
    // The caller never waits for the child; a small detached reaper collects its exit status.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}
