#include "SpawnDetached.h"

#include "TestFiles.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// True once pid is gone for good: an ended but uncollected child (a zombie) still exists.
bool WaitUntilReaped(int pid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (kill(pid, 0) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return errno == ESRCH;
}

TEST(SpawnDetached, RunsTheProgramWithItsArgumentsInASessionOfItsOwn)
{
    TempDir dir;
    const std::string out = dir.File("out");
    ASSERT_TRUE(
        SpawnDetached({"sh", "-c", "echo \"$$ $*\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"; sleep 1", out, "a b", "c;d"}));
    ASSERT_TRUE(WaitForFile(out));
    int pid = 0;
    char args[64] = {};
    ASSERT_EQ(sscanf(ReadFile(out).c_str(), "%d %63[^\n]", &pid, args), 2);
    EXPECT_STREQ(args, "a b c;d");
    EXPECT_EQ(getsid(pid), pid);
}

TEST(SpawnDetached, LeavesNoZombieBehind)
{
    TempDir dir;
    const std::string out = dir.File("pid");
    ASSERT_TRUE(SpawnDetached({"sh", "-c", "echo $$ > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"", out}));
    ASSERT_TRUE(WaitForFile(out));
    const int pid = std::atoi(ReadFile(out).c_str());
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(WaitUntilReaped(pid)) << "child " << pid << " was left as a zombie";
}

TEST(SpawnDetached, MissingProgramIsReported)
{
    EXPECT_FALSE(SpawnDetached({"/nonexistent/scanix-no-such-program"}));
    EXPECT_FALSE(SpawnDetached({}));
}

} // namespace
