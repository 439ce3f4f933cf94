// The device reply rules, step by step on a clock of the test's own: what each probe gets, per
// device and per searcher.

#include "ReplyGuard.h"

#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Decision = ReplyGuard::Decision;
using namespace std::chrono_literals;

struct Step
{
    int atMs;
    const char* searcher; // a probe's key; "" for a probe without one
    std::uint32_t seq;
    Decision expected;
    bool sendNow = false; // the reply just scheduled goes out before the next step
};

struct Script
{
    const char* name;
    ReplyGuard::Limits limits;
    std::vector<Step> steps;
};

ReplyGuard::Limits Tracking(std::size_t searchers)
{
    ReplyGuard::Limits limits;
    limits.searchersTracked = searchers;
    return limits;
}

std::vector<Step> Rounds(const char* searcher, std::uint32_t firstSeq, int count, Decision expected)
{
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        steps.push_back({0, searcher, firstSeq + std::uint32_t(i), expected, true});
    }
    return steps;
}

std::vector<Step> Searchers(int count, Decision expected)
{
    // Kept for the whole run: the steps point into them.
    static std::deque<std::string> keys;
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        keys.push_back("key" + std::to_string(keys.size()));
        steps.push_back({0, keys.back().c_str(), 1, expected});
    }
    return steps;
}

std::vector<Step> Join(std::vector<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

} // namespace

TEST(ReplyGuard, AnswersEachSearcherOncePerRoundWithinItsRatesAndABoundOnSearchers)
{
    const std::vector<Script> scripts = {
        {"copies of a round are answered once",
         {},
         {{0, "a", 7, Decision::Schedule}, {250, "a", 7, Decision::Copy}, {500, "a", 7, Decision::Copy}}},
        {"another searcher's round gets a reply of its own, a tagged one being of no use to it",
         {},
         {{0, "a", 7, Decision::Schedule}, {10, "b", 7, Decision::Schedule}, {20, "", 7, Decision::Schedule}}},
        {"a searcher's next round while its reply is pending is answered by that reply",
         {},
         {{0, "a", 7, Decision::Schedule}, {10, "a", 8, Decision::Pending}}},
        {"one searcher: a burst of five, then one a second",
         {},
         Join({Rounds("a", 100, 5, Decision::Schedule),
               Rounds("a", 105, 1, Decision::Limited),
               {{1000, "a", 200, Decision::Schedule, true}, {1000, "a", 201, Decision::Limited}}})},
        {"ever new keys draw no more than the device's own burst",
         {},
         Join({Searchers(10, Decision::Schedule), Searchers(5, Decision::Limited)})},
        {"a searcher pushed out by newer ones starts afresh: its round is answered again",
         Tracking(2),
         {{0, "a", 7, Decision::Schedule},
          {0, "b", 7, Decision::Schedule},
          {0, "c", 7, Decision::Schedule},
          {0, "a", 7, Decision::Schedule}}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        ReplyGuard guard(script.limits);
        std::mt19937 random(1);
        const auto start = ReplyGuard::Clock::now();
        for (std::size_t i = 0; i < script.steps.size(); ++i) {
            const Step& step = script.steps[i];
            SCOPED_TRACE("step " + std::to_string(i));
            const auto now = start + std::chrono::milliseconds(step.atMs);
            ReplyGuard::Clock::time_point due{};
            // No spread asked: the floor holds anyway.
            ASSERT_EQ(step.expected, guard.Probe("02:5C:01:00:00:00", step.searcher, step.seq, 0, now, random, &due));
            if (step.expected == Decision::Schedule) {
                EXPECT_GE(due, now);
                EXPECT_LE(due, now + 250ms);
            }
            if (step.sendNow && step.expected == Decision::Schedule) {
                EXPECT_TRUE(guard.Take("02:5C:01:00:00:00", step.searcher, due));
                EXPECT_FALSE(guard.Take("02:5C:01:00:00:00", step.searcher, due)) << "sent twice";
            }
        }
    }
}

TEST(ReplyGuard, AReplyWhoseSearcherWasPushedOutIsNotSent)
{
    ReplyGuard::Limits limits;
    limits.searchersTracked = 1;
    ReplyGuard guard(limits);
    std::mt19937 random(1);
    const auto now = ReplyGuard::Clock::now();
    ReplyGuard::Clock::time_point first{};
    ReplyGuard::Clock::time_point second{};
    ASSERT_EQ(Decision::Schedule, guard.Probe("m", "a", 1, 0, now, random, &first));
    ASSERT_EQ(Decision::Schedule, guard.Probe("m", "b", 1, 0, now, random, &second));
    EXPECT_FALSE(guard.Take("m", "a", first));
    EXPECT_TRUE(guard.Take("m", "b", second));
}
