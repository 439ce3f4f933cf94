// Discovery end to end: the library in the pc namespace, simulators in three other subnets.

#include "SearchFixture.h"
#include "WireMac.h"

#include <atomic>
#include <set>

#include <gtest/gtest.h>

using namespace scanix::test;
using namespace std::chrono_literals;

namespace {

class ScanixSearch : public SearchFixture
{
};

class ScanixSearchLargeFleet : public SearchFixture
{
public:
    ScanixSearchLargeFleet()
    {
        m_fleetAddresses = 300;
    }
};

} // namespace

TEST_F(ScanixSearch, FindsDevicesInThreeSubnetsOnceEach)
{
    StartLan1({"--foreign", "1"});
    StartSim("lan2", {"--count", "3", "--seed", "2", "--first-ip", "172.16.0.10", "--prefix", "16"});
    StartSim("fleet", {"--count", "5", "--seed", "3", "--first-ip", "10.88.0.10", "--prefix", "16"});
    InitLibrary();
    ASSERT_EQ(0, SCANIX_SEARCH_Manual());
    ASSERT_TRUE(WaitFound(16));
    // The probe is repeated; the repeats' answers must not be reported again.
    std::this_thread::sleep_for(700ms);

    const auto events = m_log.Events();
    std::set<std::string> macs;
    std::set<std::string> series;
    for (const auto& e : events) {
        EXPECT_EQ(SCANIX_KIND_FOUND, e.kind) << e.mac;
        EXPECT_NE(std::this_thread::get_id(), e.thread);
        EXPECT_EQ(events.front().thread, e.thread);
        EXPECT_EQ(e.mac, ElementText(e.xml, "mac"));
        macs.insert(e.mac);
        series.insert(ElementText(e.xml, "productSeries"));
    }
    EXPECT_EQ(16u, events.size());
    EXPECT_EQ(16u, macs.size());
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(macs.count(SimMac(1, i))) << SimMac(1, i);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(macs.count(SimMac(2, i))) << SimMac(2, i);
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(macs.count(SimMac(3, i))) << SimMac(3, i);
    }
    // All seven types, and the foreign series is delivered: refusing it is the program's job.
    EXPECT_EQ(8u, series.size());
    EXPECT_TRUE(series.count("QMX_NETKEYBOARD"));
    EXPECT_TRUE(series.count("NVX_IPC"));
}

TEST_F(ScanixSearch, DeviceSayingByeIsReportedGone)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_StartAuto(5);
    ASSERT_TRUE(WaitFound(7));
    ASSERT_TRUE(sim.Command("off " + SimMac(1, 3)));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_GONE, SimMac(1, 3), 2));
    EXPECT_EQ(1u, m_log.Count(SCANIX_KIND_GONE));
}

TEST_F(ScanixSearch, SilentDeviceIsGoneAfterThreeRounds)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_StartAuto(1);
    ASSERT_TRUE(WaitFound(7));
    const auto muted = std::chrono::steady_clock::now();
    ASSERT_TRUE(sim.Command("mute " + SimMac(1, 2)));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_GONE, SimMac(1, 2), 7));
    const auto after = std::chrono::steady_clock::now() - muted;
    // Three whole silent rounds of one second each.
    EXPECT_GE(after, 2s);
    EXPECT_EQ(1u, m_log.Count(SCANIX_KIND_GONE));
}

TEST_F(ScanixSearch, ChangedDeviceIsReportedOnceAndRunningTimeIsNotAChange)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_StartAuto(1);
    ASSERT_TRUE(WaitFound(7));
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 4) + " name=Renamed data=7000"));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_CHANGED, SimMac(1, 4), 3));
    // Two more rounds: running times moved on, nothing else did.
    std::this_thread::sleep_for(2200ms);
    EXPECT_EQ(1u, m_log.Count(SCANIX_KIND_CHANGED));
    for (const auto& e : m_log.Events()) {
        if (e.kind == SCANIX_KIND_CHANGED) {
            EXPECT_EQ("Renamed", ElementText(e.xml, "devName"));
            EXPECT_EQ("7000", ElementText(e.xml, "dataPort"));
        }
    }
    EXPECT_EQ(7u, m_log.Count(SCANIX_KIND_FOUND));
}

TEST_F(ScanixSearch, StartingAgainReportsEveryDeviceAfresh)
{
    StartLan1();
    InitLibrary();
    SCANIX_SEARCH_StartAuto(5);
    ASSERT_TRUE(WaitFound(7));
    SCANIX_SEARCH_StopAuto();
    SCANIX_SEARCH_StartAuto(5);
    ASSERT_TRUE(WaitFound(14));
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(21));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(3u, m_log.Count(SCANIX_KIND_FOUND, SimMac(1, i)));
    }
}

TEST_F(ScanixSearch, ManualSearchProbesOnlyOnce)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(7));
    // Past the search's repeated probes and their answers.
    std::this_thread::sleep_for(1000ms);
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 1) + " name=Later"));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(0u, m_log.Count(SCANIX_KIND_CHANGED));
    // A new manual search starts afresh and sees the new name.
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(14));
    bool sawNewName = false;
    for (const auto& e : m_log.Events()) {
        sawNewName = sawNewName || (e.mac == SimMac(1, 1) && ElementText(e.xml, "devName") == "Later");
    }
    EXPECT_TRUE(sawNewName);
}

TEST_F(ScanixSearch, StoppedSearchDeliversOnlyWhatWasAskedFor)
{
    Simulator& sim = StartLan1();
    InitLibrary();
    SCANIX_SEARCH_StartAuto(1);
    ASSERT_TRUE(WaitFound(7));
    SCANIX_SEARCH_StopAuto();
    const std::size_t before = m_log.Events().size();
    // Nothing comes or goes by itself: no probe, no hello, no bye, no announcement.
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 0) + " name=Unseen"));
    ASSERT_TRUE(sim.Command("off " + SimMac(1, 5)));
    ASSERT_TRUE(sim.Command("on " + SimMac(1, 5)));
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 6) + " name=Told"));
    ASSERT_TRUE(sim.Command("announce " + SimMac(1, 6)));
    EXPECT_FALSE(m_log.WaitFor([&](const auto& events) { return events.size() > before; }, 2500ms))
        << m_log.Events().back().mac << " kind " << m_log.Events().back().kind;

    // A configuration request: its answer and the device's announcement of its new address.
    const std::string recorder = SimMac(1, 1);
    scanix::proto::MacBytes bytes{};
    ASSERT_TRUE(scanix::proto::ParseMac(recorder, bytes));
    const std::string request = "<searchSetIP password=\"Admin123\" serialNo=\"" + recorder +
                                "\" dhcpSwitch=\"false\" ipAddr=\"192.168.1.91\" maskAddr=\"255.255.255.0\" "
                                "route=\"192.168.1.1\"/>\r\n";
    ASSERT_EQ(0, SCANIX_SET_CONFIG(bytes.data(), request.c_str()));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_SETIP_ANSWER, recorder, 3));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_CHANGED, recorder, 3));
    EXPECT_EQ("192.168.1.91", ElementText(m_log.Events().back().xml, "ip"));

    // The caller's own search is answered, and shows what changed meanwhile.
    SCANIX_SEARCH_Manual();
    ASSERT_TRUE(WaitFound(14));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_CHANGED, SimMac(1, 0), 2));
    EXPECT_EQ(0u, m_log.Count(SCANIX_KIND_GONE));
}

namespace {

std::atomic<int> g_inside{0};
std::atomic<int> g_calls{0};

int SlowCallback(char*, int, const char*, void*)
{
    ++g_inside;
    ++g_calls;
    std::this_thread::sleep_for(1ms);
    --g_inside;
    return 0;
}

int QuittingCallback(char*, int, const char*, void* result)
{
    *static_cast<std::atomic<int>*>(result) = SCANIX_SEARCH_Quit();
    return 0;
}

} // namespace

TEST_F(ScanixSearchLargeFleet, QuitWhileReportsArriveEndsAllCallbacks)
{
    StartSim("fleet",
             {"--count", "300", "--seed", "4", "--first-ip", "10.88.0.10", "--prefix", "16", "--max-delay", "1000"});
    ASSERT_EQ(0, SCANIX_SEARCH_Initial(&SlowCallback, nullptr, 100));
    SCANIX_SEARCH_StartAuto(1);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (g_calls < 20 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_GE(g_calls.load(), 20);
    ASSERT_EQ(0, SCANIX_SEARCH_Quit());
    EXPECT_EQ(0, g_inside.load());
    const int calls = g_calls;
    EXPECT_LT(calls, 300) << "the fleet answered before Quit: nothing was arriving";
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(calls, g_calls.load());
    EXPECT_EQ(-1, SCANIX_SEARCH_Quit());
}

TEST_F(ScanixSearch, InterfaceCallsOutsideARunningLibraryFail)
{
    const unsigned char mac[6] = {2, 0x5C, 1, 0, 0, 0};
    EXPECT_EQ(-1, SCANIX_SEARCH_Manual());
    EXPECT_EQ(-1, SCANIX_SEARCH_StartAuto(5));
    EXPECT_EQ(-1, SCANIX_SEARCH_StopAuto());
    EXPECT_EQ(-1, SCANIX_SEARCH_Quit());
    EXPECT_EQ(-1, SCANIX_SET_CONFIG(mac, "<searchSetIP/>"));
    EXPECT_EQ(0, SCANIX_SET_DevRestoreDefault(mac));
    EXPECT_EQ(-1, SCANIX_SEARCH_Initial(nullptr, nullptr, 96));
    InitLibrary();
    EXPECT_EQ(-1, SCANIX_SEARCH_Initial(&CallbackLog::Callback, &m_log, 96));
}

TEST_F(ScanixSearch, QuitFromInsideACallbackIsRefused)
{
    StartLan1();
    std::atomic<int> result{1};
    ASSERT_EQ(0, SCANIX_SEARCH_Initial(&QuittingCallback, &result, 10));
    SCANIX_SEARCH_Manual();
    const auto deadline = std::chrono::steady_clock::now() + 4s;
    while (result == 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(-1, result.load());
    EXPECT_EQ(0, SCANIX_SEARCH_Quit());
}

TEST_F(ScanixSearch, InterfaceListRestrictsWhereItSearches)
{
    StartLan1();
    setenv("SCANIX_SEARCH_IFACES", "dummy0, nothere", 1);
    InitLibrary();
    SCANIX_SEARCH_Manual();
    EXPECT_FALSE(WaitFound(1, 1));
    ASSERT_EQ(0, SCANIX_SEARCH_Quit());
    setenv("SCANIX_SEARCH_IFACES", "nothere,eth0", 1);
    InitLibrary();
    unsetenv("SCANIX_SEARCH_IFACES");
    SCANIX_SEARCH_Manual();
    EXPECT_TRUE(WaitFound(7));
}
