// The window end to end: the real window over the real search library, with the demo's
// simulated fleet in a private network. The list shows exactly the maker's devices and follows
// them as they leave; each filter shows exactly the devices that satisfy it, and devices that
// come up later must meet the active filter.

#include "DeviceTypeFilterMenu.h"
#include "Fleet.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "PortLineEdit.h"
#include "PrivateNetwork.h"
#include "QMXCheckBox.h"
#include "QMXPushButton.h"
#include "RangeFilterMenu.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace scanix::test;

namespace {

constexpr int kFoundWithinMs = 15000;

struct Node
{
    const char* node;
    FleetPlan plan;
};

// The demo's subnets: every type in two of them with two foreign series to refuse, a larger
// fleet in the third (smaller here, to keep the test quick).
std::vector<Node> demoNodes()
{
    FleetPlan lan1;
    lan1.count = 7;
    lan1.foreign = 2;
    lan1.seed = 1;
    lan1.firstIp = "192.168.1.64";
    lan1.prefix = 24;
    FleetPlan lan2;
    lan2.count = 7;
    lan2.seed = 2;
    lan2.firstIp = "172.16.0.10";
    lan2.prefix = 16;
    FleetPlan fleet;
    fleet.count = 12;
    fleet.seed = 3;
    fleet.firstIp = "10.88.0.10";
    fleet.prefix = 16;
    return {{"lan1", lan1}, {"lan2", lan2}, {"fleet", fleet}};
}

std::vector<std::string> simulatorArgs(const FleetPlan& plan)
{
    return {"--count",
            std::to_string(plan.count),
            "--foreign",
            std::to_string(plan.foreign),
            "--seed",
            std::to_string(plan.seed),
            "--first-ip",
            plan.firstIp,
            "--prefix",
            std::to_string(plan.prefix),
            "--max-delay",
            "100",
            "--no-hello",
            "--log",
            "-"};
}

std::uint32_t ipv4(const std::string& text)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(text.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    return (a << 24) | (b << 16) | (c << 8) | d;
}

class MainWindowNetTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!PrivateNamespaceProblem().empty()) {
            GTEST_SKIP() << "end-to-end test skipped: " << PrivateNamespaceProblem();
        }
        m_net = std::make_unique<TestNetwork>(12);
        ASSERT_TRUE(m_net->Ok()) << "tools/netns/netns.sh up failed";
        for (const Node& node : demoNodes()) {
            Fleet fleet;
            std::string error;
            ASSERT_TRUE(fleet.Generate(node.plan, error)) << error;
            for (const SimDevice& device : fleet.Devices()) {
                // The program refuses series without the maker's prefix.
                if (device.series.find("QMX") != std::string::npos) {
                    m_devices.push_back(device);
                }
            }
            m_sims.push_back(std::make_unique<Simulator>(m_net->Namespace(node.node), simulatorArgs(node.plan)));
            ASSERT_TRUE(m_sims.back()->Ready()) << "simulator on " << node.node << " did not start";
        }
        ASSERT_TRUE(m_net->EnterPc());
    }

    void TearDown() override
    {
        m_window.reset();
        m_sims.clear();
        m_net.reset();
    }

    // MACs of the devices that satisfy `passes`, of those that are online.
    std::set<std::string> expected(const std::function<bool(const SimDevice&)>& passes) const
    {
        std::set<std::string> macs;
        for (const SimDevice& device : m_devices) {
            if (m_offline.count(device.mac) == 0 && passes(device)) {
                macs.insert(device.mac);
            }
        }
        return macs;
    }

    std::set<std::string> shown() const
    {
        std::set<std::string> macs;
        for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
            macs.insert(m_list->topLevelItem(row)->text(11).toStdString());
        }
        return macs;
    }

    void useForm(const char* name, const QString& from, const QString& to)
    {
        auto* form = m_window->findChild<RangeFilterMenu*>(QString::fromLatin1(name));
        ASSERT_NE(form, nullptr);
        form->findChild<QMXCheckBox*>(QStringLiteral("filterCondition"))->setChecked(true);
        auto* start = form->findChild<QWidget*>(QStringLiteral("startField"));
        auto* end = form->findChild<QWidget*>(QStringLiteral("endField"));
        if (auto* ip = qobject_cast<IpAddrEdit*>(start)) {
            ASSERT_TRUE(ip->setText(from));
            ASSERT_TRUE(qobject_cast<IpAddrEdit*>(end)->setText(to));
        } else {
            qobject_cast<PortLineEdit*>(start)->setText(from);
            qobject_cast<PortLineEdit*>(end)->setText(to);
        }
        form->findChild<QMXPushButton*>(QStringLiteral("ok"))->click();
    }

    void expectShown(const std::set<std::string>& macs, const char* what)
    {
        EXPECT_EQ(shown(), macs) << what;
        EXPECT_EQ(m_window->onlineCount(), m_list->topLevelItemCount()) << what;
    }

    std::unique_ptr<TestNetwork> m_net;
    std::vector<std::unique_ptr<Simulator>> m_sims;
    std::vector<SimDevice> m_devices;
    std::set<std::string> m_offline;
    std::unique_ptr<MainWindow> m_window;
    VistaTreeWidget* m_list = nullptr;
};

TEST_F(MainWindowNetTest, ListsExactlyTheMakersDevicesAndDropsOneSwitchedOff)
{
    m_window = std::make_unique<MainWindow>();
    m_list = m_window->findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
    ASSERT_NE(m_list, nullptr);
    const std::set<std::string> all = expected([](const SimDevice&) { return true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->deviceRecords().size() >= int(all.size()); }, kFoundWithinMs))
        << "found " << m_window->deviceRecords().size() << " of " << all.size();
    // A moment longer: a foreign device answering late would show up now.
    QTest::qWait(1500);
    expectShown(all, "the fleet, foreign series refused");

    // Switched off in the fleet subnet: it says goodbye and must leave the list and the count.
    const SimDevice leaving = m_devices.back();
    ASSERT_TRUE(m_sims.at(2)->Command("off " + leaving.mac));
    m_offline = {leaving.mac};
    const QString leavingMac = QString::fromStdString(leaving.mac);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_window->findDeviceByMac(leavingMac); }, kFoundWithinMs));
    expectShown(expected([](const SimDevice&) { return true; }), "after one was switched off");
    EXPECT_EQ(m_window->onlineCount(), int(all.size()) - 1);
}

TEST_F(MainWindowNetTest, EachFilterShowsExactlyTheFleetDevicesThatSatisfyIt)
{
    // Two devices stay silent until a range filter is on: one inside it (lan2), one outside (fleet).
    const SimDevice inside = m_devices.at(13);
    const SimDevice outside = m_devices.back();
    ASSERT_EQ(inside.ip.rfind("172.16.", 0), 0u);
    ASSERT_EQ(outside.ip.rfind("10.88.", 0), 0u);
    ASSERT_TRUE(m_sims.at(1)->Command("mute " + inside.mac));
    ASSERT_TRUE(m_sims.at(2)->Command("mute " + outside.mac));
    m_offline = {inside.mac, outside.mac};

    m_window = std::make_unique<MainWindow>();
    m_list = m_window->findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
    ASSERT_NE(m_list, nullptr);
    const std::set<std::string> all = expected([](const SimDevice&) { return true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->deviceRecords().size() >= int(all.size()); }, kFoundWithinMs))
        << "found " << m_window->deviceRecords().size() << " of " << all.size();
    expectShown(all, "no filter");

    // Device type: the display name of the cameras' series.
    auto* typeMenu = m_window->findChild<DeviceTypeFilterMenu*>(QStringLiteral("deviceTypeFilterMenu"));
    QAction* cameras = typeMenu->entry(getText("IDCS_QMX_IPC"));
    ASSERT_NE(cameras, nullptr);
    cameras->trigger();
    expectShown(expected([](const SimDevice& d) { return d.series == "QMX_IPC"; }), "type IPC");

    // Data-port range from the fleet's own ports: the middle half of them.
    std::vector<int> ports;
    for (const SimDevice& d : m_devices) {
        ports.push_back(d.dataPort);
    }
    std::sort(ports.begin(), ports.end());
    const int low = ports.at(ports.size() / 4);
    const int high = ports.at(ports.size() * 3 / 4);
    useForm("portFilterMenu", QString::number(low), QString::number(high));
    const std::set<std::string> portShown =
        expected([&](const SimDevice& d) { return d.dataPort >= low && d.dataPort <= high; });
    EXPECT_FALSE(portShown.empty());
    EXPECT_LT(portShown.size(), all.size());
    expectShown(portShown, "data-port range");

    // IPv4 range over lan1 and lan2 but not the fleet subnet.
    useForm("ipFilterMenu", QStringLiteral("172.16.0.0"), QStringLiteral("192.168.1.255"));
    const auto inRange = [](const SimDevice& d) {
        return ipv4(d.ip) >= ipv4("172.16.0.0") && ipv4(d.ip) <= ipv4("192.168.1.255");
    };
    expectShown(expected(inRange), "IPv4 range");

    // The two silent devices come up: only the one inside the range gets a row.
    ASSERT_TRUE(m_sims.at(1)->Command("on " + inside.mac));
    ASSERT_TRUE(m_sims.at(2)->Command("on " + outside.mac));
    m_offline.clear();
    const QString insideMac = QString::fromStdString(inside.mac);
    const QString outsideMac = QString::fromStdString(outside.mac);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return m_window->findDeviceByMac(insideMac) && m_window->findDeviceByMac(outsideMac); }, kFoundWithinMs));
    expectShown(expected(inRange), "IPv4 range, devices found later");
    EXPECT_EQ(shown().count(inside.mac), 1u);
    EXPECT_EQ(shown().count(outside.mac), 0u);

    typeMenu->entry(getText("IDCS_ALL_DEVICE"))->trigger();
    expectShown(expected([](const SimDevice&) { return true; }), "all devices again");
}

} // namespace

int main(int argc, char** argv)
{
    EnterPrivateNamespaces(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
