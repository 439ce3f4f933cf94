// The search manager over the real library and simulated devices in a private network.

#include "CScanixManage.h"
#include "SearchFixture.h"
#include "WireMac.h"

#include <cstring>

#include <gtest/gtest.h>

using namespace scanix::test;
using namespace std::chrono_literals;

namespace {

class RecordingObserver : public CObserver<SEARCH_INFO>
{
public:
    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>*) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_infos.push_back(info);
            m_threads.push_back(std::this_thread::get_id());
        }
        m_changed.notify_all();
    }

    std::size_t Count(int opt) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::size_t n = 0;
        for (const SEARCH_INFO& i : m_infos) {
            n += i.opt == opt ? 1 : 0;
        }
        return n;
    }

    bool WaitCount(int opt, std::size_t count, std::chrono::milliseconds wait) const
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, wait, [&] {
            std::size_t n = 0;
            for (const SEARCH_INFO& i : m_infos) {
                n += i.opt == opt ? 1 : 0;
            }
            return n >= count;
        });
    }

    std::vector<SEARCH_INFO> Infos() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_infos;
    }

    std::vector<std::thread::id> Threads() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<SEARCH_INFO> m_infos;
    std::vector<std::thread::id> m_threads;
};

class CScanixManageNet : public SearchFixture
{
protected:
    void TearDown() override
    {
        // Quit first: detaching while the library may still notify races with Notify.
        m_manager.Quit();
        m_manager.Detach(&m_observer);
        SearchFixture::TearDown();
    }

    void Start(int interval)
    {
        m_manager.Attach(&m_observer);
        m_manager.Init();
        // One search, not two: a refresh right after the periodic search started would empty the
        // store under the first probe's answers, and those devices would be reported found twice.
        if (interval == 0) {
            m_manager.Refresh(true);
        } else {
            m_manager.SetAutoInterval(interval);
        }
    }

    bool WaitStoreSize(std::size_t size, std::chrono::milliseconds wait)
    {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (m_manager.Devices().size() != size) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    CScanixManage m_manager;
    RecordingObserver m_observer;
};

} // namespace

TEST_F(CScanixManageNet, FindsThreeSubnetsAndRefusesForeignSeries)
{
    StartLan1({"--foreign", "2"});
    StartSim("lan2", {"--count", "3", "--seed", "2", "--first-ip", "172.16.0.10", "--prefix", "16"});
    StartSim("fleet", {"--count", "5", "--seed", "3", "--first-ip", "10.88.0.10", "--prefix", "16"});
    Start(5);
    ASSERT_TRUE(m_observer.WaitCount(0, 15, 5s));
    std::this_thread::sleep_for(800ms); // the foreign replies and the probe repeats have come too
    const auto devices = m_manager.Devices();
    ASSERT_EQ(15u, devices.size());
    for (const DEVICE_INFO& d : devices) {
        EXPECT_EQ(0, std::strncmp(d.productSeries, "QMX_", 4)) << d.mac << " " << d.productSeries;
    }
    EXPECT_EQ(15u, m_observer.Count(0));
    for (const auto& id : m_observer.Threads()) {
        EXPECT_NE(std::this_thread::get_id(), id) << "Update must come on the library's thread";
    }
    DEVICE_INFO far{};
    ASSERT_TRUE(m_manager.FindDevice(SimMac(2, 1).c_str(), far));
    EXPECT_STREQ("172.16.0.11", far.ipAddr);
    EXPECT_STREQ("255.255.0.0", far.mask);
}

TEST_F(CScanixManageNet, DeviceSwitchedOffLeavesTheStore)
{
    Simulator& sim = StartLan1();
    Start(5);
    ASSERT_TRUE(WaitStoreSize(7, 4s));
    ASSERT_TRUE(sim.Command("off " + SimMac(1, 6)));
    ASSERT_TRUE(m_observer.WaitCount(1, 1, 2s));
    EXPECT_TRUE(WaitStoreSize(6, 1s));
    DEVICE_INFO gone{};
    EXPECT_FALSE(m_manager.FindDevice(SimMac(1, 6).c_str(), gone));
    EXPECT_STREQ(SimMac(1, 6).c_str(), m_observer.Infos().back().devInfo.mac);
}

TEST_F(CScanixManageNet, ChangedDeviceIsReplacedAndMovedToTheEnd)
{
    Simulator& sim = StartLan1();
    Start(1);
    ASSERT_TRUE(WaitStoreSize(7, 4s));
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 0) + " name=Gate http=8088"));
    ASSERT_TRUE(m_observer.WaitCount(2, 1, 3s));
    const auto devices = m_manager.Devices();
    ASSERT_EQ(7u, devices.size());
    EXPECT_STREQ(SimMac(1, 0).c_str(), devices.back().mac);
    EXPECT_STREQ("Gate", devices.back().devName);
    EXPECT_EQ(8088, devices.back().httpPort);
}

TEST_F(CScanixManageNet, RefreshReportsEverythingAfresh)
{
    StartLan1();
    Start(5);
    ASSERT_TRUE(m_observer.WaitCount(0, 7, 4s));
    m_manager.Refresh(false);
    ASSERT_TRUE(m_observer.WaitCount(0, 14, 4s));
    EXPECT_TRUE(WaitStoreSize(7, 1s));
}

TEST_F(CScanixManageNet, ManualModeAndIntervalChanges)
{
    Simulator& sim = StartLan1();
    Start(0);
    ASSERT_TRUE(m_observer.WaitCount(0, 7, 4s));
    std::this_thread::sleep_for(1000ms);
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 2) + " name=Quiet"));
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(0u, m_observer.Count(2)) << "manual mode must not search on its own";

    // Leaving manual mode empties the store and fills it again.
    m_manager.SetAutoInterval(1);
    ASSERT_TRUE(m_observer.WaitCount(0, 14, 4s));
    // A new period keeps the store: no device is reported found again.
    m_manager.SetAutoInterval(2);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(14u, m_observer.Count(0));
    EXPECT_EQ(7u, m_manager.Devices().size());
}

TEST_F(CScanixManageNet, NewPeriodStillReportsChangesAndSilence)
{
    Simulator& sim = StartLan1();
    Start(1);
    ASSERT_TRUE(WaitStoreSize(7, 4s));
    ASSERT_TRUE(sim.Command("mute " + SimMac(1, 3)));
    m_manager.SetAutoInterval(2);
    ASSERT_TRUE(sim.Command("set " + SimMac(1, 4) + " name=Renamed"));
    ASSERT_TRUE(m_observer.WaitCount(2, 1, 4s)) << "the change after the switch was not reported";
    DEVICE_INFO renamed{};
    ASSERT_TRUE(m_manager.FindDevice(SimMac(1, 4).c_str(), renamed));
    EXPECT_STREQ("Renamed", renamed.devName);
    // Silent in the round cut short by the switch and three rounds of two seconds.
    ASSERT_TRUE(m_observer.WaitCount(1, 1, 11s)) << "the muted device was never reported gone";
    for (const SEARCH_INFO& info : m_observer.Infos()) {
        if (info.opt == 1) {
            EXPECT_STREQ(SimMac(1, 3).c_str(), info.devInfo.mac);
        }
    }
    EXPECT_EQ(6u, m_manager.Devices().size());
    EXPECT_EQ(7u, m_observer.Count(0));
}

TEST_F(CScanixManageNet, PendingRequestIsSettledByTheDevicesAnswer)
{
    StartLan1();
    Start(5);
    ASSERT_TRUE(WaitStoreSize(7, 4s));
    const std::string camera = SimMac(1, 0);
    scanix::proto::MacBytes bytes{};
    scanix::proto::ParseMac(camera, bytes);

    m_manager.SetPendingRequest(camera.c_str(), "192.168.1.90", "255.255.255.0", "192.168.1.1");
    const std::string wrong = "<searchSetIP password=\"nope\" serialNo=\"" + camera +
                              "\" dhcpSwitch=\"false\" ipAddr=\"192.168.1.90\" maskAddr=\"255.255.255.0\" "
                              "route=\"192.168.1.1\"/>\r\n";
    ASSERT_EQ(0, SCANIX_SET_CONFIG(bytes.data(), wrong.c_str()));
    auto deadline = std::chrono::steady_clock::now() + 3s;
    while (m_manager.GetPendingResult() == -1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(1, m_manager.GetPendingResult());

    m_manager.SetPendingRequest(camera.c_str(), "192.168.1.90", "255.255.255.0", "192.168.1.1");
    std::string right = wrong;
    right.replace(right.find("nope"), 4, "Admin123");
    ASSERT_EQ(0, SCANIX_SET_CONFIG(bytes.data(), right.c_str()));
    deadline = std::chrono::steady_clock::now() + 3s;
    while (m_manager.GetPendingResult() == -1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(0, m_manager.GetPendingResult());
    ASSERT_TRUE(m_observer.WaitCount(2, 1, 2s)) << "the device announces its new address";
    DEVICE_INFO moved{};
    ASSERT_TRUE(m_manager.FindDevice(camera.c_str(), moved));
    EXPECT_STREQ("192.168.1.90", moved.ipAddr);
}

TEST_F(CScanixManageNet, QuitWhileReportsArriveEndsUpdates)
{
    m_sims.clear();
    StartSim("fleet",
             {"--count", "8", "--seed", "5", "--first-ip", "10.88.0.10", "--prefix", "16", "--max-delay", "900"});
    Start(1);
    ASSERT_TRUE(m_observer.WaitCount(0, 1, 4s));
    m_manager.Quit();
    const std::size_t seen = m_observer.Infos().size();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(seen, m_observer.Infos().size());
}
