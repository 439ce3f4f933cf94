#include "CScanixManage.h"
#include "FakeSearchLibrary.h"
#include "Scanix_Search.h"
#include "TestDocuments.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <set>

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

constexpr const char* kMacA = "00:1A:2B:3C:4D:01";
constexpr const char* kMacB = "00:1A:2B:3C:4D:02";
constexpr const char* kMacC = "00:1A:2B:3C:4D:03";

class CScanixManageCallback : public testing::Test
{
protected:
    void SetUp() override
    {
        FakeSearchLibrary::Reset();
        manager.Attach(&observer);
    }

    // Three devices stored and notified, then the notification log forgotten.
    void FillStore()
    {
        Report(manager, kMacA, SCANIX_KIND_FOUND, CameraDocument("192.168.1.64"));
        Report(manager, kMacB, SCANIX_KIND_FOUND, CameraDocument("192.168.1.65"));
        Report(manager, kMacC, SCANIX_KIND_FOUND, CameraDocument("192.168.1.66"));
        ASSERT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
        before = observer.Received().size();
    }

    std::vector<SEARCH_INFO> NewNotifications() const
    {
        const auto all = observer.Received();
        return std::vector<SEARCH_INFO>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    }

    CScanixManage manager;
    RecordingObserver observer;
    std::size_t before = 0;
};

} // namespace

TEST_F(CScanixManageCallback, FoundDeviceIsStoredAndNotified)
{
    Report(manager, kMacA, SCANIX_KIND_FOUND, LoadDocument("ipc_found.xml"));
    const auto devices = manager.Devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].mac, kMacA);
    EXPECT_STREQ(devices[0].ipAddr, "192.168.1.64");
    EXPECT_STREQ(devices[0].productSeries, "QMX_IPC");
    const auto received = observer.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].opt, 0);
    EXPECT_EQ(std::memcmp(&received[0].devInfo, &devices[0], sizeof(DEVICE_INFO)), 0);
    EXPECT_EQ(observer.LastSubject(), &manager);
}

TEST_F(CScanixManageCallback, LowerCaseMacIsStoredAndNotifiedInUpperCase)
{
    const std::string left = Report(manager, "00:1a:2b:3c:4d:ef", SCANIX_KIND_FOUND, CameraDocument());
    EXPECT_EQ(left, "00:1A:2B:3C:4D:EF");
    EXPECT_EQ(StoredMacs(manager), Names{"00:1A:2B:3C:4D:EF"});
    ASSERT_EQ(observer.Received().size(), 1u);
    EXPECT_STREQ(observer.Received()[0].devInfo.mac, "00:1A:2B:3C:4D:EF");
    // The same device in the other case is the same device.
    Report(manager, "00:1A:2B:3C:4D:EF", SCANIX_KIND_FOUND, CameraDocument());
    EXPECT_EQ(manager.Devices().size(), 1u);
}

TEST_F(CScanixManageCallback, SecondFoundReportOfAStoredMacIsIgnored)
{
    FillStore();
    Report(manager, kMacB, SCANIX_KIND_FOUND, CameraDocument("10.0.0.99"));
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    DEVICE_INFO device{};
    ASSERT_TRUE(manager.FindDevice(kMacB, device));
    EXPECT_STREQ(device.ipAddr, "192.168.1.65");
    EXPECT_TRUE(NewNotifications().empty());
}

TEST_F(CScanixManageCallback, ForeignSeriesNeverEntersTheStore)
{
    const std::string foreign = Replaced(LoadDocument("ipc_found.xml"),
                                         "<productSeries>QMX_IPC</productSeries>",
                                         "<productSeries>ACME_IPC</productSeries>");
    Report(manager, kMacA, SCANIX_KIND_FOUND, foreign);
    Report(manager, kMacA, SCANIX_KIND_CHANGED, foreign);
    EXPECT_TRUE(manager.Devices().empty());
    EXPECT_TRUE(observer.Received().empty());
}

TEST_F(CScanixManageCallback, ChangedDeviceIsReplacedAndMovedToTheEnd)
{
    FillStore();
    Report(manager, kMacA, SCANIX_KIND_CHANGED, CameraDocument("192.168.1.164"));
    EXPECT_EQ(StoredMacs(manager), (Names{kMacB, kMacC, kMacA}));
    EXPECT_STREQ(manager.Devices()[2].ipAddr, "192.168.1.164");
    const auto received = NewNotifications();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].opt, 2);
    EXPECT_STREQ(received[0].devInfo.mac, kMacA);
    EXPECT_STREQ(received[0].devInfo.ipAddr, "192.168.1.164");
}

TEST_F(CScanixManageCallback, ChangedReportOfAnUnknownDeviceIsNotifiedButNotStored)
{
    FillStore();
    Report(manager, "00:1A:2B:3C:4D:99", SCANIX_KIND_CHANGED, CameraDocument("192.168.1.99"));
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    const auto received = NewNotifications();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].opt, 2);
    EXPECT_STREQ(received[0].devInfo.mac, "00:1A:2B:3C:4D:99");
}

TEST_F(CScanixManageCallback, GoneDeviceIsRemovedAndNotified)
{
    FillStore();
    Report(manager, "00:1a:2b:3c:4d:02", SCANIX_KIND_GONE, nullptr);
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacC}));
    // Unknown MACs are notified too: the observer may still show the device.
    Report(manager, "00:1A:2B:3C:4D:99", SCANIX_KIND_GONE, "");
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacC}));
    const auto received = NewNotifications();
    ASSERT_EQ(received.size(), 2u);
    for (const SEARCH_INFO& info : received) {
        EXPECT_EQ(info.opt, 1);
        // Only the MAC is filled.
        DEVICE_INFO expected{};
        CopyText(expected.mac, info.devInfo.mac);
        EXPECT_EQ(std::memcmp(&expected, &info.devInfo, sizeof expected), 0);
    }
    EXPECT_STREQ(received[0].devInfo.mac, kMacB);
    EXPECT_STREQ(received[1].devInfo.mac, "00:1A:2B:3C:4D:99");
}

TEST_F(CScanixManageCallback, UnknownKindLeavesStoreAndObserversAlone)
{
    FillStore();
    for (int kind : {0, 4, 9999, 10001, -1}) {
        Report(manager, kMacA, kind, CameraDocument("10.9.9.9"));
        Report(manager, "00:1A:2B:3C:4D:77", kind, CameraDocument("10.9.9.9"));
    }
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    EXPECT_TRUE(NewNotifications().empty());
}

TEST_F(CScanixManageCallback, BadDocumentsAreDroppedWithoutTouchingTheStore)
{
    FillStore();
    const std::string camera = CameraDocument("192.168.1.200");
    const std::vector<std::string> bad = {
        "",
        "not xml at all",
        "<multicastSearchResul></multicastSearchResul>",
        "<searchResult><tcpIp/></searchResult>",
        "<MULTICASTSEARCHRESULT></MULTICASTSEARCHRESULT>",
        camera.substr(0, camera.find("<multicastSearchResult>")),
        "<?xml version=\"1.0\"?><!-- only a comment -->",
    };
    for (const std::string& doc : bad) {
        Report(manager, "00:1A:2B:3C:4D:99", SCANIX_KIND_FOUND, doc);
        Report(manager, kMacA, SCANIX_KIND_CHANGED, doc);
    }
    Report(manager, "00:1A:2B:3C:4D:99", SCANIX_KIND_FOUND, nullptr);
    Report(manager, kMacA, SCANIX_KIND_CHANGED, nullptr);
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    EXPECT_STREQ(manager.Devices()[0].ipAddr, "192.168.1.64");
    EXPECT_TRUE(NewNotifications().empty());
}

TEST_F(CScanixManageCallback, MalformedMacTextsAreRefused)
{
    FillStore();
    // An empty or partial MAC would otherwise match, replace or remove another device.
    for (const char* mac : {"",
                            "00:1A",
                            "00:1A:2B:3C:4D",
                            "00:1A:2B:3C:4D:0",
                            "00:1A:2B:3C:4D:01:",
                            "GG:1A:2B:3C:4D:01",
                            "00-1A-2B-3C-4D-01",
                            "device"}) {
        for (int kind : {SCANIX_KIND_FOUND, SCANIX_KIND_CHANGED, SCANIX_KIND_GONE}) {
            Report(manager, mac, kind, CameraDocument("10.1.1.1"));
        }
    }
    manager.OnSearchCallback(nullptr, SCANIX_KIND_FOUND, CameraDocument().c_str());
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    EXPECT_STREQ(manager.Devices()[0].ipAddr, "192.168.1.64");
    EXPECT_TRUE(NewNotifications().empty());
}

TEST_F(CScanixManageCallback, ConfigurationAnswerSetsThePendingResult)
{
    FillStore();
    EXPECT_EQ(manager.GetPendingResult(), -1);
    manager.SetPendingRequest(kMacB, "192.168.1.80", "255.255.255.0", "192.168.1.1");
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, LoadDocument("setip_answer.xml"));
    EXPECT_EQ(manager.GetPendingResult(), 1);
    // A new request starts unanswered again.
    manager.SetPendingRequest(kMacB, "192.168.1.81", "255.255.255.0", "192.168.1.1");
    EXPECT_EQ(manager.GetPendingResult(), -1);
    Report(manager,
           "00:1a:2b:3c:4d:02",
           SCANIX_KIND_SETIP_ANSWER,
           Replaced(LoadDocument("setip_answer.xml"), ">1<", ">0<"));
    EXPECT_EQ(manager.GetPendingResult(), 0);
    // The store and the observers never hear of it.
    EXPECT_EQ(StoredMacs(manager), (Names{kMacA, kMacB, kMacC}));
    EXPECT_TRUE(NewNotifications().empty());
}

TEST_F(CScanixManageCallback, ConfigurationAnswerOfAnotherDeviceOrWithoutResultIsIgnored)
{
    manager.SetPendingRequest(kMacB, "192.168.1.80", "255.255.255.0", "192.168.1.1");
    const std::string answer = LoadDocument("setip_answer.xml");
    Report(manager, kMacA, SCANIX_KIND_SETIP_ANSWER, answer);
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, "<multicastSearchResult><other>1</other></multicastSearchResult>");
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, "<reply><setIPResult>1</setIPResult></reply>");
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, nullptr);
    EXPECT_EQ(manager.GetPendingResult(), -1);
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, Replaced(answer, ">1<", ">7 trailing<"));
    EXPECT_EQ(manager.GetPendingResult(), 7);
}

TEST_F(CScanixManageCallback, ChangedReportShowingTheRequestedValuesAnswersNothing)
{
    FillStore();
    manager.SetPendingRequest(kMacB, "192.168.1.80", "255.255.255.0", "192.168.1.254");
    // Anyone on the wire can send a report showing the requested values: only the library's
    // authenticated answer completes the request.
    Report(manager, kMacB, SCANIX_KIND_CHANGED, CameraDocument("192.168.1.80", "255.255.255.0", "192.168.1.254"));
    Report(manager, kMacB, SCANIX_KIND_FOUND, CameraDocument("192.168.1.80", "255.255.255.0", "192.168.1.254"));
    EXPECT_EQ(manager.GetPendingResult(), -1);
}

TEST_F(CScanixManageCallback, ObserverMayReadTheStoreFromUpdate)
{
    // Update runs on the library's thread; reading the store there must find the lock free.
    class StoreReader : public CObserver<SEARCH_INFO>
    {
    public:
        explicit StoreReader(CScanixManage& manager)
            : m_manager(manager)
        {}
        void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>*) override
        {
            DEVICE_INFO copy{};
            seen.push_back(m_manager.FindDevice(info.devInfo.mac, copy));
            sizes.push_back(m_manager.Devices().size());
        }
        std::vector<bool> seen;
        std::vector<std::size_t> sizes;

    private:
        CScanixManage& m_manager;
    };
    auto reader = std::make_unique<StoreReader>(manager);
    manager.Attach(reader.get());
    manager.Init();
    auto run = std::async(std::launch::async, [] {
        FakeSearchLibrary::Deliver(kMacA, SCANIX_KIND_FOUND, CameraDocument().c_str());
        FakeSearchLibrary::Deliver(kMacA, SCANIX_KIND_CHANGED, CameraDocument("192.168.1.70").c_str());
        FakeSearchLibrary::Deliver(kMacA, SCANIX_KIND_GONE, nullptr);
    });
    if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Deadlocked under the store lock: nothing can end that thread, so stop here.
        std::fprintf(stderr, "observer deadlocked under the store lock\n");
        std::abort();
    }
    manager.Quit();
    manager.Detach(reader.get());
    // Each notification already sees the store it describes.
    EXPECT_EQ(reader->seen, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(reader->sizes, (std::vector<std::size_t>{1, 1, 0}));
}

TEST_F(CScanixManageCallback, ReportsOnTheLibraryThreadRaceRefreshSafely)
{
    // Bounded: a few hundred reports against refreshes and reads on this thread.
    manager.Init();
    manager.SetAutoInterval(5);
    auto reports = std::async(std::launch::async, [] {
        const std::string doc = CameraDocument();
        char mac[18];
        for (int i = 0; i < 300; ++i) {
            std::snprintf(mac, sizeof mac, "00:1A:2B:3C:%02X:%02X", i / 256, i % 256);
            FakeSearchLibrary::Deliver(mac, i % 7 == 6 ? SCANIX_KIND_GONE : SCANIX_KIND_FOUND, doc.c_str());
        }
    });
    for (int i = 0; i < 50; ++i) {
        manager.Refresh(i % 2 == 0);
        for (const DEVICE_INFO& device : manager.Devices()) {
            ASSERT_STREQ(device.productSeries, "QMX_IPC");
        }
    }
    ASSERT_EQ(reports.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    manager.Quit();
    const auto macs = StoredMacs(manager);
    EXPECT_EQ(std::set<std::string>(macs.begin(), macs.end()).size(), macs.size());
}
