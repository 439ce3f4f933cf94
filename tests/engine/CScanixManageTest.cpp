#include "CScanixManage.h"

#include "FakeSearchLibrary.h"
#include "Scanix_Search.h"
#include "TestDocuments.h"

#include <arpa/inet.h>

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

constexpr const char* kMacA = "00:1A:2B:3C:4D:01";
constexpr const char* kMacB = "00:1A:2B:3C:4D:02";

class CScanixManageLifecycle : public testing::Test
{
protected:
    void SetUp() override
    {
        FakeSearchLibrary::Reset();
    }

    // Two devices in the store, the library's call log empty.
    void FillStore(CScanixManage& manager)
    {
        Report(manager, kMacA, SCANIX_KIND_FOUND, CameraDocument("192.168.1.64"));
        Report(manager, kMacB, SCANIX_KIND_FOUND, CameraDocument("192.168.1.65"));
        ASSERT_EQ(manager.Devices().size(), 2u);
        FakeSearchLibrary::ClearCalls();
    }
};

} // namespace

TEST_F(CScanixManageLifecycle, InitRegistersTheCallbackWithItselfAsContext)
{
    CScanixManage manager;
    FillStore(manager);
    manager.Init();
    const auto calls = FakeSearchLibrary::Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "Initial");
    EXPECT_EQ(calls[0].value, 96);
    EXPECT_EQ(calls[0].user, &manager);
    EXPECT_TRUE(manager.Devices().empty());

    // What the library reports through the registered callback reaches this manager.
    ASSERT_TRUE(FakeSearchLibrary::DeliverOnThread(kMacA, SCANIX_KIND_FOUND, CameraDocument()).get());
    EXPECT_EQ(StoredMacs(manager), Names{kMacA});
}

TEST_F(CScanixManageLifecycle, StartUpOrderOfTheMainWindow)
{
    CScanixManage manager;
    manager.Init();
    manager.SetAutoInterval(5);
    manager.Refresh(false);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"Initial", "StopAuto", "StartAuto", "StopAuto", "StartAuto"}));
    const auto calls = FakeSearchLibrary::Calls();
    EXPECT_EQ(calls[2].value, 5);
    EXPECT_EQ(calls[4].value, 5);
    EXPECT_EQ(manager.GetAutoInterval(), 5);
}

TEST_F(CScanixManageLifecycle, ManualRefreshEmptiesTheStoreAndSearchesOnce)
{
    CScanixManage manager;
    RecordingObserver observer;
    manager.Attach(&observer);
    FillStore(manager);
    const std::size_t notified = observer.Received().size();
    manager.Refresh(true);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), Names{"Manual"});
    EXPECT_TRUE(manager.Devices().empty());
    // Emptying is not reported: the observer clears its own view when it asks for a refresh.
    EXPECT_EQ(observer.Received().size(), notified);
}

TEST_F(CScanixManageLifecycle, AutomaticRefreshInManualModeStartsWithIntervalZero)
{
    CScanixManage manager;
    FillStore(manager);
    manager.Refresh(false);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"StopAuto", "StartAuto"}));
    EXPECT_EQ(FakeSearchLibrary::Calls()[1].value, 0);
    EXPECT_TRUE(manager.Devices().empty());
}

TEST_F(CScanixManageLifecycle, AutomaticRefreshRestartsWithTheStoredInterval)
{
    CScanixManage manager;
    manager.SetAutoInterval(30);
    FillStore(manager);
    manager.Refresh(false);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"StopAuto", "StartAuto"}));
    EXPECT_EQ(FakeSearchLibrary::Calls()[1].value, 30);
    EXPECT_TRUE(manager.Devices().empty());
}

TEST_F(CScanixManageLifecycle, NewPeriodKeepsTheStore)
{
    CScanixManage manager;
    manager.SetAutoInterval(5);
    FillStore(manager);
    manager.SetAutoInterval(10);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"StopAuto", "StartAuto"}));
    EXPECT_EQ(FakeSearchLibrary::Calls()[1].value, 10);
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB}));
    EXPECT_EQ(manager.GetAutoInterval(), 10);
}

TEST_F(CScanixManageLifecycle, LeavingManualModeEmptiesTheStore)
{
    CScanixManage manager;
    manager.SetAutoInterval(0);
    FillStore(manager);
    manager.SetAutoInterval(5);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"StopAuto", "StartAuto"}));
    EXPECT_EQ(FakeSearchLibrary::Calls()[1].value, 5);
    EXPECT_TRUE(manager.Devices().empty());
}

TEST_F(CScanixManageLifecycle, IntervalZeroOnlyStopsPeriodicSearch)
{
    CScanixManage manager;
    manager.SetAutoInterval(5);
    FillStore(manager);
    manager.SetAutoInterval(0);
    EXPECT_EQ(FakeSearchLibrary::CallNames(), Names{"StopAuto"});
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB}));
    EXPECT_EQ(manager.GetAutoInterval(), 0);
}

TEST_F(CScanixManageLifecycle, QuitStopsTheLibraryOnce)
{
    CScanixManage manager;
    manager.Quit();
    EXPECT_TRUE(FakeSearchLibrary::CallNames().empty());
    manager.Init();
    FakeSearchLibrary::ClearCalls();
    manager.Quit();
    manager.Quit();
    EXPECT_EQ(FakeSearchLibrary::CallNames(), Names{"Quit"});
    EXPECT_FALSE(FakeSearchLibrary::Running());
}

TEST_F(CScanixManageLifecycle, DestroyingARunningManagerQuitsTheLibrary)
{
    {
        CScanixManage manager;
        manager.Init();
    }
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"Initial", "Quit"}));
    // Nothing can call back into the destroyed manager any more.
    EXPECT_FALSE(FakeSearchLibrary::Deliver(kMacA, SCANIX_KIND_FOUND, CameraDocument().c_str()));

    FakeSearchLibrary::ClearCalls();
    {
        CScanixManage manager;
        manager.Init();
        manager.Quit();
    }
    EXPECT_EQ(FakeSearchLibrary::CallNames(), (Names{"Initial", "Quit"}));
}

TEST_F(CScanixManageLifecycle, AManagerWhoseLibraryDidNotStartLeavesItToItsOwner)
{
    CScanixManage owner;
    ASSERT_TRUE(owner.Init());
    {
        CScanixManage second;
        EXPECT_FALSE(second.Init());
        FakeSearchLibrary::ClearCalls();
        second.Quit();
    }
    // Neither Quit nor the destructor of the second stopped the owner's library.
    EXPECT_TRUE(FakeSearchLibrary::CallNames().empty());
    EXPECT_TRUE(FakeSearchLibrary::Running());
    ASSERT_TRUE(FakeSearchLibrary::DeliverOnThread(kMacA, SCANIX_KIND_FOUND, CameraDocument()).get());
    EXPECT_EQ(StoredMacs(owner), Names{kMacA});
    owner.Quit();
    EXPECT_EQ(FakeSearchLibrary::CallNames(), Names{"Quit"});
}

TEST_F(CScanixManageLifecycle, FindDeviceCopiesTheRecordOut)
{
    CScanixManage manager;
    FillStore(manager);
    DEVICE_INFO device{};
    ASSERT_TRUE(manager.FindDevice(kMacB, device));
    EXPECT_STREQ(device.ipAddr, "192.168.1.65");
    ASSERT_TRUE(manager.FindDevice("00:1a:2b:3c:4d:02", device));
    EXPECT_STREQ(device.mac, kMacB);
    // Whole MAC texts only: a prefix names no device.
    EXPECT_FALSE(manager.FindDevice("00:1A:2B:3C:4D:0", device));
    EXPECT_FALSE(manager.FindDevice("", device));
    EXPECT_FALSE(manager.FindDevice(nullptr, device));
}

TEST_F(CScanixManageLifecycle, CheckNetParamForwardsToTheRuleCheck)
{
    int code = -1;
    EXPECT_TRUE(CScanixManage::CheckNetParam(
        inet_addr("192.168.1.10"), inet_addr("255.255.255.0"), inet_addr("192.168.1.1"), &code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(CScanixManage::CheckNetParam(
        inet_addr("192.168.1.10"), inet_addr("255.255.255.0"), inet_addr("192.168.2.1"), &code));
    EXPECT_EQ(code, 6);
    EXPECT_FALSE(CScanixManage::CheckNetParam(
        inet_addr("127.0.0.1"), inet_addr("255.0.0.0"), inet_addr("127.0.0.254"), nullptr));
}

TEST_F(CScanixManageLifecycle, DroppedReportsCountSinceTheStoreWasEmptied)
{
    CScanixManage manager;
    EXPECT_EQ(manager.GetDroppedReports(), 0);
    manager.Init();
    manager.SetAutoInterval(5);
    FakeSearchLibrary::SetDroppedReports(40);
    EXPECT_EQ(manager.GetDroppedReports(), 40);
    // A new period keeps the store, and so the count; a fresh list starts from nothing.
    manager.SetAutoInterval(10);
    EXPECT_EQ(manager.GetDroppedReports(), 40);
    manager.Refresh(true);
    EXPECT_EQ(manager.GetDroppedReports(), 0);
    FakeSearchLibrary::SetDroppedReports(45);
    EXPECT_EQ(manager.GetDroppedReports(), 5);
    manager.Quit();
    EXPECT_EQ(manager.GetDroppedReports(), 0);
}
