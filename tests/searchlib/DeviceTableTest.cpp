#include "DeviceTable.h"

#include <gtest/gtest.h>

using scanix::search::DeviceTable;

TEST(DeviceTable, FirstReportIsFoundThenSameOrChanged)
{
    DeviceTable table(16);
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("A", 1, 0));
    EXPECT_EQ(DeviceTable::Verdict::Same, table.Report("A", 1, 0));
    EXPECT_EQ(DeviceTable::Verdict::Changed, table.Report("A", 2, 1));
    EXPECT_EQ(DeviceTable::Verdict::Same, table.Report("A", 2, 1));
    table.Clear();
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("A", 2, 1));
}

TEST(DeviceTable, RestartReportsEveryDeviceFoundAgainAndKeepsWhatWasDelivered)
{
    DeviceTable table(16);
    table.Report("A", 1, 0);
    table.Report("B", 1, 0);
    table.Restart();
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("A", 1, 1));
    EXPECT_EQ(DeviceTable::Verdict::Same, table.Report("A", 1, 1));
    EXPECT_EQ(DeviceTable::Verdict::FoundChanged, table.Report("B", 2, 1));
    EXPECT_EQ(DeviceTable::Verdict::Same, table.Report("B", 2, 1));
    // Silence counts on: B, silent in rounds 2, 3 and 4, is gone when round 5 starts.
    table.Restart();
    table.Report("A", 1, 4);
    EXPECT_EQ(std::vector<std::string>{"B"}, table.Expire(5, 3));
}

TEST(DeviceTable, ByeForgetsOnlyAKnownDevice)
{
    DeviceTable table(16);
    EXPECT_FALSE(table.Bye("A"));
    table.Report("A", 1, 0);
    EXPECT_TRUE(table.Bye("A"));
    EXPECT_FALSE(table.Bye("A"));
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("A", 1, 0));
}

TEST(DeviceTable, GoneOnlyAfterThreeWholeSilentRounds)
{
    DeviceTable table(16);
    table.Report("A", 1, 4);
    table.Report("B", 1, 4);
    // Rounds 5, 6 and 7 start; B answers in round 6.
    EXPECT_TRUE(table.Expire(5, 3).empty());
    EXPECT_TRUE(table.Expire(6, 3).empty());
    table.Report("B", 1, 6);
    EXPECT_TRUE(table.Expire(7, 3).empty());
    // Round 8 starts: A was silent in 5, 6 and 7.
    EXPECT_EQ(std::vector<std::string>{"A"}, table.Expire(8, 3));
    EXPECT_EQ(1u, table.Size());
    EXPECT_EQ(std::vector<std::string>{"B"}, table.Expire(10, 3));
}

TEST(DeviceTable, FullTableDropsNewDevicesButServesKnownOnes)
{
    DeviceTable table(2);
    table.Report("A", 1, 0);
    table.Report("B", 1, 0);
    EXPECT_EQ(DeviceTable::Verdict::Full, table.Report("C", 1, 0));
    EXPECT_EQ(2u, table.Size());
    EXPECT_EQ(DeviceTable::Verdict::Changed, table.Report("A", 9, 0));
    table.Bye("B");
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("C", 1, 0));
}

TEST(DeviceTable, FullTableCountsDropsAndAnAnswerEvictsTheOldestUnconfirmedDevice)
{
    DeviceTable table(3);
    std::string evicted;
    table.Report("heard1", 1, 0, false);
    table.Report("answered", 1, 0, true);
    table.Report("heard2", 1, 0, false);
    // Heard unasked first, confirmed later by an answer: no longer evictable.
    table.Report("heard1", 1, 0, true);
    EXPECT_EQ(DeviceTable::Verdict::Full, table.Report("unasked", 1, 0, false, &evicted));
    EXPECT_TRUE(evicted.empty());
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("new", 1, 0, true, &evicted));
    EXPECT_EQ("heard2", evicted);
    evicted.clear();
    // Every device confirmed: even an answer is dropped, and counted.
    EXPECT_EQ(DeviceTable::Verdict::Full, table.Report("late", 1, 0, true, &evicted));
    EXPECT_TRUE(evicted.empty());
    EXPECT_EQ(2u, table.Dropped());
    EXPECT_EQ(3u, table.Size());
    // A device removed and heard again unasked is evicted as its new self, once.
    table.Bye("new");
    table.Report("back", 1, 0, false);
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("late", 1, 0, true, &evicted));
    EXPECT_EQ("back", evicted);
}

TEST(DeviceTable, FullTableLetsAnAnswerReplaceTheDeviceSilentLongestSinceTheSearchStarted)
{
    DeviceTable table(3);
    std::string evicted;
    table.Report("A", 1, 0, true);
    table.Report("B", 1, 0, true);
    table.Report("C", 1, 0, true);
    table.Restart();
    // C and A answer the new search; B, heard first of the silent ones, makes room.
    table.Report("C", 1, 1, true);
    table.Report("A", 1, 1, true);
    EXPECT_EQ(DeviceTable::Verdict::Found, table.Report("D", 1, 1, true, &evicted));
    EXPECT_EQ("B", evicted);
    evicted.clear();
    // Everyone left has answered this search: nothing more is given up, the answer is counted.
    EXPECT_EQ(DeviceTable::Verdict::Full, table.Report("E", 1, 1, true, &evicted));
    EXPECT_TRUE(evicted.empty());
    // Reports heard unasked never push out a device.
    table.Restart();
    EXPECT_EQ(DeviceTable::Verdict::Full, table.Report("F", 1, 2, false, &evicted));
    EXPECT_TRUE(evicted.empty());
    EXPECT_EQ(2u, table.Dropped());
}
