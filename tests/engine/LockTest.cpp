#include "Lock.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

TEST(Lock, GuardSerialisesConcurrentUpdates)
{
    CCriticalSection section;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CLockGuard guard(section);
                // A read-modify-write that loses updates without the lock.
                const long seen = counter;
                counter = seen + 1;
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(counter, 80000);
}

TEST(Lock, GuardReleasesOnEveryPath)
{
    CCriticalSection section;
    auto early = [&](bool leave) {
        CLockGuard guard(section);
        if (leave) {
            return 1;
        }
        return 2;
    };
    EXPECT_EQ(early(true), 1);
    EXPECT_EQ(early(false), 2);
    // Entering again would deadlock had a path kept the section.
    section.Enter();
    section.Leave();
}
