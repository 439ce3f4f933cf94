// The list filters of the main window over a recorded fleet, reported through the search
// library's recording stand-in. The window adds a route when it starts, so the whole test
// process runs in a network namespace of its own.

#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "FakeSearchLibrary.h"
#include "HeaderButton.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "PortLineEdit.h"
#include "QMXCheckBox.h"
#include "QMXPushButton.h"
#include "RangeFilterMenu.h"
#include "Scanix_Search.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QLabel>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sched.h>
#include <unistd.h>

namespace {
struct FleetDevice
{
    const char* mac;
    const char* series;
    const char* ip;
    int dataPort;
};

// A: 192.168.1.1, B: 192.168.1.50, ... H: 192.168.1.10; G is of a series without display name.
const FleetDevice kFleet[] = {
    {"00:11:22:00:00:0A", "QMX_IPC", "192.168.1.1", 9008},
    {"00:11:22:00:00:0B", "QMX_NVR", "192.168.1.50", 6036},
    {"00:11:22:00:00:0C", "QMX_DVR", "192.168.1.100", 9008},
    {"00:11:22:00:00:0D", "QMX_IPC", "192.168.1.101", 8000},
    {"00:11:22:00:00:0E", "QMX_IPC", "10.0.0.5", 9010},
    {"00:11:22:00:00:0F", "QMX_NVR", "192.168.2.1", 30001},
    {"00:11:22:00:00:10", "QMX_CUSTOM", "192.168.1.20", 9000},
    {"00:11:22:00:00:11", "QMX_DECODER", "192.168.1.10", 65535},
};

// Laid out as devices send it: the series first, then addresses, ports and the product block.
std::string document(const FleetDevice& d)
{
    const std::string series = "<productSeries>" + std::string(d.series) + "</productSeries>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><multicastSearchResult><productInfo>" + series +
           "</productInfo><tcpIp><ipAddr><item><dhcpSwitch>false</dhcpSwitch><ip>" + std::string(d.ip) +
           "</ip><route>192.168.1.254</route><mask>255.255.255.0</mask></item></ipAddr></tcpIp><port><dataPort>" +
           std::to_string(d.dataPort) +
           "</dataPort><httpPort>80</httpPort></port><productInfo><devName>dev</devName>"
           "<deviceActivated>0</deviceActivated>" +
           series + "<productModel>M</productModel></productInfo></multicastSearchResult>";
}

// Fleet letters ("ACEG") of the MACs that have rows, in letter order.
QString shownLetters(const VistaTreeWidget& list)
{
    QString letters;
    for (int i = 0; i < int(std::size(kFleet)); ++i) {
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            if (list.topLevelItem(row)->text(11) == QLatin1String(kFleet[i].mac)) {
                letters += QChar(u'A' + i);
            }
        }
    }
    return letters;
}
} // namespace

class MainWindowFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void filtersShowExactlyTheirDevices_data();
    void filtersShowExactlyTheirDevices();
    void devicesFoundLaterMeetTheActiveFilter_data();
    void devicesFoundLaterMeetTheActiveFilter();
    void goneReportsKeepTheCountAndTheTypeMenu();
    void headerButtonStaysWhileItsPanelIsOpen_data();
    void headerButtonStaysWhileItsPanelIsOpen();

private:
    void deliver(const FleetDevice& device, int kind = SCANIX_KIND_FOUND);
    void deliverFleet();
    // Steps such as "type:IPC", "ip:A-B", "ipoff", "ipcancel:A-B", "port:A-B", "slotport:A-B".
    void apply(const QString& step);
    void useForm(const char* name, bool checked, const QString& from, const QString& to, bool cancel);
    void verifyCount();

    std::unique_ptr<MainWindow> m_window;
    VistaTreeWidget* m_list = nullptr;
};

// One window for every case (building one costs more than the cases themselves); each case
// starts from an empty list without filter.
void MainWindowFilterTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    FakeSearchLibrary::Reset();
    m_window = std::make_unique<MainWindow>();
    m_window->resize(1280, 760);
    m_list = m_window->findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
    QVERIFY(m_list != nullptr);
    QVERIFY(!getText("IDCS_ALL_DEVICE").isEmpty());
}

void MainWindowFilterTest::init()
{
    m_window->slot_filterCleared();
    m_window->slot_refresh();
    QCOMPARE(m_window->deviceRecords().size(), 0);
}

void MainWindowFilterTest::cleanupTestCase()
{
    m_window.reset();
}

void MainWindowFilterTest::deliver(const FleetDevice& device, int kind)
{
    const std::string xml = document(device);
    QVERIFY(FakeSearchLibrary::Deliver(device.mac, kind, xml.c_str()));
    // The report reaches the window as a queued call.
    QCoreApplication::processEvents();
}

void MainWindowFilterTest::deliverFleet()
{
    for (const FleetDevice& device : kFleet) {
        deliver(device);
    }
    QTRY_COMPARE(m_window->deviceRecords().size(), int(std::size(kFleet)));
}

void MainWindowFilterTest::useForm(const char* name, bool checked, const QString& from, const QString& to, bool cancel)
{
    auto* form = m_window->findChild<RangeFilterMenu*>(QString::fromLatin1(name));
    QVERIFY(form != nullptr);
    form->findChild<QMXCheckBox*>(QStringLiteral("filterCondition"))->setChecked(checked);
    if (checked) {
        auto* start = form->findChild<QWidget*>(QStringLiteral("startField"));
        auto* end = form->findChild<QWidget*>(QStringLiteral("endField"));
        if (auto* ip = qobject_cast<IpAddrEdit*>(start)) {
            QVERIFY(ip->setText(from));
            QVERIFY(qobject_cast<IpAddrEdit*>(end)->setText(to));
        } else {
            qobject_cast<PortLineEdit*>(start)->setText(from);
            qobject_cast<PortLineEdit*>(end)->setText(to);
        }
    }
    form->findChild<QMXPushButton*>(QLatin1String(cancel ? "cancel" : "ok"))->click();
}

void MainWindowFilterTest::apply(const QString& step)
{
    const QString verb = step.section(QLatin1Char(':'), 0, 0);
    const QString argument = step.section(QLatin1Char(':'), 1);
    const QString from = argument.section(QLatin1Char('-'), 0, 0);
    const QString to = argument.section(QLatin1Char('-'), 1);
    if (verb == QLatin1String("type")) {
        auto* menu = m_window->findChild<DeviceTypeFilterMenu*>(QStringLiteral("deviceTypeFilterMenu"));
        const QString text = argument == QLatin1String("all") ? getText("IDCS_ALL_DEVICE")
                             : argument.isEmpty()             ? QString()
                                                              : getText(qPrintable("IDCS_QMX_" + argument));
        QAction* entry = menu->entry(text);
        QVERIFY2(entry != nullptr, qPrintable(step));
        entry->trigger();
    } else if (verb == QLatin1String("ip") || verb == QLatin1String("ipcancel")) {
        useForm("ipFilterMenu", true, from, to, verb == QLatin1String("ipcancel"));
    } else if (verb == QLatin1String("ipoff")) {
        useForm("ipFilterMenu", false, {}, {}, false);
    } else if (verb == QLatin1String("port")) {
        useForm("portFilterMenu", true, from, to, false);
    } else if (verb == QLatin1String("slotport")) {
        // Bounds the field cannot hold, straight to the window.
        m_window->slot_portMenuTriggered(from, to);
    } else {
        QFAIL(qPrintable("unknown step " + step));
    }
}

void MainWindowFilterTest::verifyCount()
{
    QCOMPARE(m_window->onlineCount(), m_list->topLevelItemCount());
    const auto* label = m_window->findChild<QLabel*>(QStringLiteral("onlineCountLabel"));
    // A filter that is on marks its header button, and the count says how many are shown of
    // how many were found.
    bool filterOn = false;
    for (const HeaderButton* button : m_window->findChildren<HeaderButton*>()) {
        filterOn = filterOn || button->isFilterActive();
    }
    const int rows = m_list->topLevelItemCount();
    QCOMPARE(label->text(),
             filterOn ? getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(rows).arg(m_window->deviceRecords().size())
                      : getText("IDCS_DEVICE_ONLINE_NUM_D").arg(rows));
}

void MainWindowFilterTest::filtersShowExactlyTheirDevices_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no filter") << QStringList{} << "ABCDEFGH";
    QTest::newRow("ip 192.168.1.1 to .100") << QStringList{"ip:192.168.1.1-192.168.1.100"} << "ABCGH";
    QTest::newRow("ip with leading zeros, decimal") << QStringList{"ip:192.168.001.001-192.168.001.010"} << "AH";
    QTest::newRow("ip start above end") << QStringList{"ip:192.168.1.100-192.168.1.1"} << "";
    QTest::newRow("ip, then OK unchecked") << QStringList{"ip:192.168.1.1-192.168.1.1", "ipoff"} << "ABCDEFGH";
    QTest::newRow("type, then OK unchecked") << QStringList{"type:IPC", "ipoff"} << "ABCDEFGH";
    QTest::newRow("port 9000 to 9010") << QStringList{"port:9000-9010"} << "ACEG";
    QTest::newRow("port 65535 only") << QStringList{"port:65535-65535"} << "H";
    QTest::newRow("cancel changes nothing")
        << QStringList{"port:9000-9010", "ipcancel:192.168.1.1-192.168.1.1"} << "ACEG";
    QTest::newRow("type IPC") << QStringList{"type:IPC"} << "ADE";
    QTest::newRow("type without display name") << QStringList{"type:"} << "G";
    QTest::newRow("type, then ip range for all types")
        << QStringList{"type:NVR", "ip:192.168.1.1-192.168.1.100"} << "ABCGH";
    QTest::newRow("port, then type") << QStringList{"port:9000-9010", "type:IPC"} << "ADE";
    QTest::newRow("ip, then all devices") << QStringList{"ip:192.168.1.1-192.168.1.1", "type:all"} << "ABCDEFGH";
}

void MainWindowFilterTest::filtersShowExactlyTheirDevices()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);

    deliverFleet();
    for (const QString& step : steps) {
        apply(step);
    }
    QCOMPARE(shownLetters(*m_list), shown);
    verifyCount();
    // Filtering never forgets a device.
    QCOMPARE(m_window->deviceRecords().size(), int(std::size(kFleet)));
}

void MainWindowFilterTest::devicesFoundLaterMeetTheActiveFilter_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("series");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("dataPort");
    QTest::addColumn<bool>("shown");
    QTest::newRow("port in range") << QStringList{"port:9000-9010"} << "QMX_IPC"
                                   << "192.168.1.30" << 9008 << true;
    QTest::newRow("port out of range") << QStringList{"port:9000-9010"} << "QMX_IPC"
                                       << "192.168.1.30" << 80 << false;
    QTest::newRow("range to 255.255.255.255, outside") << QStringList{"ip:192.168.1.1-255.255.255.255"} << "QMX_IPC"
                                                       << "10.1.1.1" << 9008 << false;
    QTest::newRow("range to 255.255.255.255, inside") << QStringList{"ip:192.168.1.1-255.255.255.255"} << "QMX_IPC"
                                                      << "192.168.9.9" << 9008 << true;
    QTest::newRow("port bound 4294967295, outside") << QStringList{"slotport:9000-4294967295"} << "QMX_IPC"
                                                    << "192.168.1.30" << 80 << false;
    QTest::newRow("type without display name, other type") << QStringList{"type:"} << "QMX_IPC"
                                                           << "192.168.1.30" << 9008 << false;
    QTest::newRow("type IPC, an IPC") << QStringList{"type:IPC"} << "QMX_IPC"
                                      << "192.168.1.30" << 9008 << true;
    QTest::newRow("after a refresh, port out of range") << QStringList{"port:9000-9010", "refresh"} << "QMX_IPC"
                                                        << "192.168.1.30" << 80 << false;
    QTest::newRow("after a refresh, port in range") << QStringList{"port:9000-9010", "refresh"} << "QMX_IPC"
                                                    << "192.168.1.30" << 9000 << true;
}

void MainWindowFilterTest::devicesFoundLaterMeetTheActiveFilter()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, series);
    QFETCH(QString, ip);
    QFETCH(int, dataPort);
    QFETCH(bool, shown);

    deliverFleet();
    for (const QString& step : steps) {
        if (step == QLatin1String("refresh")) {
            m_window->slot_refresh();
            QCOMPARE(m_list->topLevelItemCount(), 0);
        } else {
            apply(step);
        }
    }
    const int before = m_list->topLevelItemCount();
    const QByteArray seriesText = series.toLatin1();
    const QByteArray ipText = ip.toLatin1();
    deliver({"00:11:22:00:00:99", seriesText.constData(), ipText.constData(), dataPort});
    QTRY_VERIFY(m_window->findDeviceByMac(QStringLiteral("00:11:22:00:00:99")));
    QCOMPARE(m_list->topLevelItemCount(), before + (shown ? 1 : 0));
    verifyCount();
}

void MainWindowFilterTest::goneReportsKeepTheCountAndTheTypeMenu()
{
    deliverFleet();
    apply(QStringLiteral("port:9000-9010"));
    QCOMPARE(shownLetters(*m_list), QStringLiteral("ACEG"));
    auto* menu = m_window->findChild<DeviceTypeFilterMenu*>(QStringLiteral("deviceTypeFilterMenu"));
    const QString nvr = getText("IDCS_QMX_NVR");
    const QString decoder = getText("IDCS_QMX_DECODER");

    struct Gone
    {
        int device;
        const char* shown;
        bool nvrEntry;
        bool decoderEntry;
    };
    const Gone gones[] = {
        {0, "CEG", true, true},   // A, shown
        {1, "CEG", true, true},   // B, filtered out; F is an NVR too
        {5, "CEG", false, true},  // F, the last NVR, filtered out
        {7, "CEG", false, false}, // H, the only decoder, filtered out
        {2, "EG", false, false},  // C, shown
    };
    for (const Gone& gone : gones) {
        deliver(kFleet[gone.device], SCANIX_KIND_GONE);
        QTRY_VERIFY(!m_window->findDeviceByMac(QLatin1String(kFleet[gone.device].mac)));
        QCOMPARE(shownLetters(*m_list), QLatin1String(gone.shown));
        verifyCount();
        QCOMPARE(menu->entry(nvr) != nullptr, gone.nvrEntry);
        QCOMPARE(menu->entry(decoder) != nullptr, gone.decoderEntry);
    }
    apply(QStringLiteral("type:all"));
    QCOMPARE(shownLetters(*m_list), QStringLiteral("DEG"));
    verifyCount();
}

void MainWindowFilterTest::headerButtonStaysWhileItsPanelIsOpen_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("section");
    QTest::addColumn<bool>("mouseOverSection");
    QTest::newRow("ip, mouse away") << "ipFilterMenu"
                                    << "ipFilterButton" << 3 << false;
    QTest::newRow("ip, mouse over its section") << "ipFilterMenu"
                                                << "ipFilterButton" << 3 << true;
    QTest::newRow("port, mouse away") << "portFilterMenu"
                                      << "portFilterButton" << 5 << false;
    QTest::newRow("port, mouse over its section") << "portFilterMenu"
                                                  << "portFilterButton" << 5 << true;
}

void MainWindowFilterTest::headerButtonStaysWhileItsPanelIsOpen()
{
    QFETCH(QString, menu);
    QFETCH(QString, button);
    QFETCH(int, section);
    QFETCH(bool, mouseOverSection);

    auto* header = qobject_cast<DeviceTreeHeaderView*>(m_list->header());
    auto* form = m_window->findChild<RangeFilterMenu*>(menu);
    auto* headerButton = m_window->findChild<QWidget*>(button);
    QVERIFY(header != nullptr && form != nullptr && headerButton != nullptr);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(!headerButton->isVisible());

    form->popup(headerButton->mapToGlobal(QPoint(0, headerButton->height())));
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(headerButton->isVisible());
    // The mouse leaves the header for the panel: the button stays.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(header, &leave);
    QVERIFY(headerButton->isVisible());

    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    const QPoint over = header->viewport()->mapToGlobal(QPoint(x, 10));
    QCursor::setPos(mouseOverSection ? over : m_window->mapToGlobal(QPoint(600, 500)));
    form->close();
    QVERIFY(!form->isVisible());
    QCOMPARE(headerButton->isVisible(), mouseOverSection);
}

int main(int argc, char** argv)
{
    // Before any thread starts: the window adds a link-local route when it starts, which must
    // land in a namespace of the test's own, never in the machine's routing table.
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0) {
        std::fprintf(stderr, "skipped: needs root to run in a private network namespace\n");
        return 77;
    }
    if (std::system("ip link set lo up >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "warning: no loopback in the private namespace\n");
    }
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    MainWindowFilterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowFilterTest.moc"
