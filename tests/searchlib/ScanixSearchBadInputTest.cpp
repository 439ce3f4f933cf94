// Hostile and broken datagrams on the searcher port: nothing that should not be reported is
// reported, nothing crashes, and the library thread keeps working afterwards.

#include "McastSocket.h"
#include "Messages.h"
#include "ProtocolConstants.h"
#include "SearchFixture.h"

#include <net/if.h>

#include <gtest/gtest.h>

using namespace scanix::test;
using namespace std::chrono_literals;

namespace {

class ScanixSearchBadInput : public SearchFixture
{
protected:
    void SetUp() override
    {
        SearchFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        std::string error;
        m_injector = scanix::proto::McastSocket::Open(
            static_cast<int>(if_nametoindex("eth0")), scanix::proto::kDevicePort, &error);
        ASSERT_TRUE(m_injector) << error;
    }

    // Multicast loop-back brings it to the library's socket on the same interface.
    void Inject(const std::string& text)
    {
        EXPECT_TRUE(m_injector->Send(scanix::proto::kSearcherPort, text)) << text.size();
    }

    static scanix::proto::DeviceFields Device(const std::string& mac)
    {
        scanix::proto::DeviceFields d;
        d.mac = mac;
        d.event = "reply";
        d.productSeries = "QMX_IPC";
        d.ip = "10.0.0.77";
        d.mask = "255.255.255.0";
        return d;
    }

    std::unique_ptr<scanix::proto::McastSocket> m_injector;
};

} // namespace

TEST_F(ScanixSearchBadInput, BrokenDatagramsAreDroppedAndTheThreadRunsOn)
{
    InitLibrary();
    // Periodic search on, so that unsolicited reports count (no device answers its probes).
    SCANIX_SEARCH_StartAuto(60);
    const std::string good = scanix::proto::BuildResult(Device("02:5C:09:00:00:01"));
    std::string oversize = good;
    oversize.insert(oversize.find("</multicastSearchResult>"), "<pad>" + std::string(20000, 'x') + "</pad>");
    std::string justTooLong = good;
    justTooLong.insert(justTooLong.find("</multicastSearchResult>"),
                       "<pad>" + std::string(scanix::proto::kMaxDatagram - good.size(), 'x') + "</pad>");
    const std::vector<std::string> bad = {
        "hello, not xml",
        std::string(1, '\0'),
        "<other><mac>02:5C:09:00:00:01</mac></other>",
        good.substr(0, good.size() / 2),
        good.substr(0, good.size() - 4),
        scanix::proto::BuildResult(Device("02:5C:09:00:00")),
        scanix::proto::BuildResult(Device("02-5C-09-00-00-01")),
        scanix::proto::BuildResult(Device("ZZ:5C:09:00:00:01")),
        scanix::proto::BuildResult(Device("02:5C:09:00:00:01:00")),
        scanix::proto::BuildResult(Device("")),
        oversize,
        justTooLong,
        "<multicastSearchResult><mac>02:5C:09:00:00:01</mac>" + std::string(3000, '<') + "</multicastSearchResult>",
        std::string(5000, '<') + std::string(3000, '>'),
        // Well-formed but unasked for: no request of ours is pending, no device is known.
        scanix::proto::BuildSetIpResult("02:5C:09:00:00:01", 0),
        scanix::proto::BuildBye("02:5C:09:00:00:01"),
        scanix::proto::BuildRestoreResult("02:5C:09:00:00:01", 7, true),
        scanix::proto::BuildProbe(1, 0, 100),
    };
    for (const std::string& text : bad) {
        Inject(text);
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(m_log.Events().empty()) << m_log.Events().front().mac << " " << m_log.Events().front().kind;

    Inject(good);
    ASSERT_TRUE(WaitFound(1, 2));
    // A lower-case MAC is a well-shaped one: reported in upper case.
    Inject(scanix::proto::BuildResult(Device("02:5c:09:00:00:0a")));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_FOUND, "02:5C:09:00:00:0A", 2));
    // A NUL byte inside a text, sent once the library surely listens; the next datagram shows
    // when it has been dealt with.
    std::string withNul = scanix::proto::BuildResult(Device("02:5C:09:00:00:0B"));
    withNul.insert(withNul.find("</mask>"), 1, '\0');
    Inject(withNul);
    Inject(scanix::proto::BuildResult(Device("02:5C:09:00:00:0C")));
    ASSERT_TRUE(WaitFor(SCANIX_KIND_FOUND, "02:5C:09:00:00:0C", 2));
    EXPECT_EQ(0u, m_log.Count(SCANIX_KIND_FOUND, "02:5C:09:00:00:0B")) << "a datagram with a NUL byte was delivered";
}

TEST_F(ScanixSearchBadInput, FloodOfInventedDevicesLeavesTheLibraryWorking)
{
    InitLibrary();
    StartLan1();
    // Far more than a receive buffer holds at once: the kernel drops some, the library must not
    // fall over or stall.
    for (int i = 0; i < 6000; ++i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:77:00:%02X:%02X:%02X", i >> 16, (i >> 8) & 0xFF, i & 0xFF);
        Inject(scanix::proto::BuildResult(Device(mac)));
        if (i % 1000 == 999) {
            std::this_thread::sleep_for(5ms);
        }
    }
    EXPECT_LE(m_log.Count(SCANIX_KIND_FOUND), 6000u);
    SCANIX_SEARCH_Manual();
    const std::size_t before = m_log.Count(SCANIX_KIND_FOUND);
    ASSERT_TRUE(m_log.WaitFor(
        [&](const std::vector<CallbackLog::Event>& events) {
            std::size_t real = 0;
            for (const auto& e : events) {
                real += e.mac.rfind("02:5C:01:", 0) == 0 ? 1 : 0;
            }
            return real >= 7;
        },
        4s))
        << "before " << before;
}

TEST_F(ScanixSearchBadInput, FloodOfUnaskedDevicesIsCountedAndCannotHideTheDevicesThatAnswer)
{
    InitLibrary();
    // Periodic search on, so that unasked reports count; no device answers its first probe.
    SCANIX_SEARCH_StartAuto(60);
    EXPECT_EQ(0, SCANIX_SEARCH_DroppedReports());
    // More invented devices than the table holds, announcing themselves unasked, paced so that
    // the receive buffer keeps most of them.
    constexpr int kFlood = 12000;
    for (int i = 0; i < kFlood; ++i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:77:00:%02X:%02X:%02X", i >> 16, (i >> 8) & 0xFF, i & 0xFF);
        scanix::proto::DeviceFields fake = Device(mac);
        fake.event = "hello";
        Inject(scanix::proto::BuildResult(fake));
        if (i % 200 == 199) {
            std::this_thread::sleep_for(4ms);
        }
    }
    const auto floodDeadline = std::chrono::steady_clock::now() + 10s;
    while (SCANIX_SEARCH_DroppedReports() <= 0 && std::chrono::steady_clock::now() < floodDeadline) {
        std::this_thread::sleep_for(20ms);
    }
    const long long dropped = SCANIX_SEARCH_DroppedReports();
    ASSERT_GT(dropped, 0) << "a full table dropped reports without counting them; found "
                          << m_log.Count(SCANIX_KIND_FOUND);
    EXPECT_LE(dropped, kFlood);

    // The real devices answer a search: each takes the place of an invented one, which the
    // caller hears is gone.
    StartLan1();
    SCANIX_SEARCH_Manual();
    std::vector<std::string> real;
    for (int i = 0; i < 7; ++i) {
        real.push_back(SimMac(1, i));
    }
    ASSERT_TRUE(m_log.WaitFor(
        [&](const std::vector<CallbackLog::Event>& events) {
            std::size_t found = 0;
            for (const auto& e : events) {
                found += e.kind == SCANIX_KIND_FOUND && e.mac.rfind("02:5C:01:", 0) == 0 ? 1 : 0;
            }
            return found >= real.size();
        },
        4s));
    for (const std::string& mac : real) {
        EXPECT_EQ(1u, m_log.Count(SCANIX_KIND_FOUND, mac)) << mac;
    }
    std::size_t evicted = 0;
    for (const auto& e : m_log.Events()) {
        evicted += e.kind == SCANIX_KIND_GONE && e.mac.rfind("02:77:", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(real.size(), evicted);
    EXPECT_GE(SCANIX_SEARCH_DroppedReports(), dropped);
}

TEST_F(ScanixSearchBadInput, DamagedAndOversizeRepliesNeverReachTheCallback)
{
    StartLan1({"--malformed", "0.4", "--oversize", "0.2"});
    InitLibrary();
    SCANIX_SEARCH_StartAuto(1);
    ASSERT_TRUE(WaitFound(7, 8));
    std::this_thread::sleep_for(1500ms);
    for (const auto& e : m_log.Events()) {
        EXPECT_EQ(SCANIX_KIND_FOUND, e.kind) << "a damaged reply counted as a change";
        EXPECT_NE(std::string::npos, e.xml.find("</multicastSearchResult>"));
        EXPECT_LT(e.xml.size(), scanix::proto::kMaxDatagram);
    }
    EXPECT_EQ(7u, m_log.Count(SCANIX_KIND_FOUND));
}
