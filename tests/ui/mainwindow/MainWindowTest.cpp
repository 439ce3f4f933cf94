#include "MainWindow.h"

#include "DeviceRowInfo.h"
#include "DeviceText.h"
#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "FakeSearchLibrary.h"
#include "LanguageSrc.h"
#include "MainWindowTestSupport.h"
#include "NcFramelessHelper.h"
#include "QMXMenu.h"
#include "StatusBar.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

// The real window against the recording stand-in of the search library: reports go in where
// the engine hands them over (Update, on a thread of their own) and come out as rows.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void reportsArriveAsRowsOnTheGuiThread();
    void foundTwiceGivesOneRow();
    void floodIsHandledInOrderWithTurnsBetween();
    void goneAndChanged_data();
    void goneAndChanged();
    void activationColumn_data();
    void activationColumn();
    void formatRunTime_data();
    void formatRunTime();
    void betaRule_data();
    void betaRule();
    void headerSortsAddressesAndPorts();
    void columnMenuKeepsLastColumn();
    void refreshModes_data();
    void refreshModes();
    void statusBarTexts();
    void routeNoteFitsBetweenCountAndHost_data();
    void routeNoteFitsBetweenCountAndHost();
    void droppedReportsWarnBesideTheCount();
    void sizeAndMaximise();
    void windowStatesSettle();
    void keysNeitherCloseNorClick();
    void deviceBarToggle();
    void closingWhileReportsArrive();

private:
    void deliver(const std::vector<SEARCH_INFO>& reports);
    QStringList columnTexts(int column) const;
    QString text(const char* objectName) const;

    std::unique_ptr<MainWindow> m_window;
};

namespace {
std::vector<SEARCH_INFO> found(const std::vector<TestDevice>& devices)
{
    std::vector<SEARCH_INFO> reports;
    for (const TestDevice& device : devices) {
        reports.push_back(device.info(SEARCH_OPT_FOUND));
    }
    return reports;
}

// Data functions run while no window holds the language tables.
void needLanguage()
{
    if (!LanguageSrc::isLoaded()) {
        WidgetTestSupport::loadTestLanguage(1033);
    }
}

TestDevice device(int n, const std::string& type = "QMX_IPC")
{
    TestDevice d;
    d.mac = testMac(n);
    d.type = type;
    d.ip = "192.168.1." + std::to_string(n);
    return d;
}

VistaTreeWidget* list(MainWindow& window)
{
    return window.findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
}
} // namespace

void MainWindowTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void MainWindowTest::init()
{
    FakeSearchLibrary::Reset();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    FakeSearchLibrary::ClearCalls();
}

void MainWindowTest::cleanup()
{
    m_window.reset();
}

// From a thread of its own, as the engine notifies; every report is posted once it returns.
void MainWindowTest::deliver(const std::vector<SEARCH_INFO>& reports)
{
    MainWindow* window = m_window.get();
    std::thread worker([window, reports]() {
        for (const SEARCH_INFO& report : reports) {
            window->Update(report, nullptr);
        }
    });
    worker.join();
    QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
    // Reports past the first slice wait for the event loop's next turns.
    QVERIFY(QTest::qWaitFor([window]() { return window->m_pendingReports.empty(); }, 10000));
}

QStringList MainWindowTest::columnTexts(int column) const
{
    QStringList texts;
    VistaTreeWidget* tree = list(*m_window);
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        texts << tree->topLevelItem(i)->text(column);
    }
    return texts;
}

QString MainWindowTest::text(const char* objectName) const
{
    const auto* label = m_window->findChild<QLabel*>(QString::fromLatin1(objectName));
    return label != nullptr ? label->text() : QStringLiteral("(missing)");
}

void MainWindowTest::reportsArriveAsRowsOnTheGuiThread()
{
    VistaTreeWidget* tree = list(*m_window);
    std::atomic<int> offThread{0};
    connect(tree->model(), &QAbstractItemModel::rowsInserted, this, [&offThread]() {
        if (QThread::currentThread() != qApp->thread()) {
            ++offThread;
        }
    });
    // Through the stand-in's callback: the manager parses, stores and notifies on that thread.
    auto first = FakeSearchLibrary::DeliverOnThread("00:11:22:33:44:aa", 1, R"(<?xml version="1.0"?>
<multicastSearchResult><productInfo><productSeries>QMX_NVR</productSeries></productInfo>
<tcpIp><ipAddr><item><ip>10.0.0.9</ip><mask>255.0.0.0</mask><route>10.0.0.1</route></item></ipAddr></tcpIp>
<port><dataPort>6036</dataPort><httpPort>80</httpPort></port>
<productInfo><runningTime>59</runningTime><devName>Hall</devName><deviceActivated>0</deviceActivated>
<productSeries>QMX_NVR</productSeries></productInfo></multicastSearchResult>)");
    QVERIFY(first.get());
    deliver(found({device(1), device(2)}));
    QTRY_COMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(offThread.load(), 0);
    QCOMPARE(m_window->onlineCount(), 3);
    QTreeWidgetItem* hall = tree->topLevelItem(2);
    const QStringList expected{"Hall",
                               getText("IDCS_QMX_NVR"),
                               "",
                               "10.0.0.9",
                               "80",
                               "6036",
                               "255.0.0.0",
                               "10.0.0.1",
                               "",
                               "",
                               "",
                               "00:11:22:33:44:AA",
                               "",
                               "",
                               "59" + getText("IDCS_SECOND"),
                               getText("IDCS_ACTIVATED")};
    for (int column = 0; column < expected.size(); ++column) {
        QCOMPARE(hall->text(column), expected.at(column));
    }
    QCOMPARE(MainWindow::recordOf(hall)->mac, QStringLiteral("00:11:22:33:44:AA"));
    // Newest on top.
    QCOMPARE(columnTexts(11).first(), QString::fromStdString(testMac(2)));
}

void MainWindowTest::foundTwiceGivesOneRow()
{
    deliver(found({device(1), device(1), device(2)}));
    QCOMPARE(list(*m_window)->topLevelItemCount(), 2);
    QCOMPARE(m_window->deviceRecords().size(), 2);
    QCOMPARE(m_window->onlineCount(), 2);
}

// A flood is handled in slices with the event loop running between them; the reports keep
// their order, so a device found, gone and found again ends with one row, the others none.
void MainWindowTest::floodIsHandledInOrderWithTurnsBetween()
{
    constexpr int kDevices = 3000;
    std::vector<SEARCH_INFO> reports;
    for (int opt : {SEARCH_OPT_FOUND, SEARCH_OPT_CHANGED, SEARCH_OPT_GONE}) {
        for (int n = 0; n < kDevices; ++n) {
            reports.push_back(device(n).info(opt));
        }
    }
    reports.push_back(device(7).info(SEARCH_OPT_FOUND));
    int turnsDuringFlood = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&]() { turnsDuringFlood += m_window->m_pendingReports.empty() ? 0 : 1; });
    ticker.start(0);
    deliver(reports);
    QVERIFY(turnsDuringFlood > 0);
    QCOMPARE(columnTexts(11), QStringList{QString::fromStdString(testMac(7))});
    QCOMPARE(m_window->deviceRecords().size(), 1);
    QCOMPARE(m_window->onlineCount(), 1);
}

void MainWindowTest::goneAndChanged_data()
{
    QTest::addColumn<int>("opt");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("recordIp");
    QTest::addColumn<bool>("nvrEntry");
    // Two cameras and one recorder are known; the change moves the recorder to 10.1.1.1.
    QTest::newRow("gone, with a row") << 1 << true << 2 << 2 << 2 << QString() << false;
    QTest::newRow("gone, filtered out") << 1 << false << 2 << 2 << 2 << QString() << false;
    QTest::newRow("changed, with a row") << 2 << true << 3 << 3 << 3 << "10.1.1.1" << true;
    QTest::newRow("changed, filtered out") << 2 << false << 2 << 3 << 2 << "10.1.1.1" << true;
}

void MainWindowTest::goneAndChanged()
{
    QFETCH(int, opt);
    QFETCH(bool, shown);
    QFETCH(int, rows);
    QFETCH(int, records);
    QFETCH(int, count);
    QFETCH(QString, recordIp);
    QFETCH(bool, nvrEntry);
    deliver(found({device(1), device(2), device(3, "QMX_NVR")}));
    if (!shown) {
        m_window->slot_deviceTypeMenuTriggered(
            m_window->findChild<DeviceTypeFilterMenu*>()->entry(getText("IDCS_QMX_IPC")));
        QCOMPARE(m_window->onlineCount(), 2);
    }
    TestDevice recorder = device(3, "QMX_NVR");
    recorder.ip = "10.1.1.1";
    deliver({recorder.info(opt)});
    QCOMPARE(list(*m_window)->topLevelItemCount(), rows);
    QCOMPARE(m_window->deviceRecords().size(), records);
    QCOMPARE(m_window->onlineCount(), count);
    // With a filter on, the count says how many of the devices found are shown.
    const QString countText = shown ? getText("IDCS_DEVICE_ONLINE_NUM_D").arg(count)
                                    : getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(count).arg(records);
    QCOMPARE(text("onlineCountLabel"), countText);
    const DeviceRowInfo* held = m_window->deviceRecords().find(QString::fromStdString(recorder.mac));
    QCOMPARE(held != nullptr ? held->ipAddress : QString(), recordIp);
    auto* typeMenu = m_window->findChild<DeviceTypeFilterMenu*>();
    QCOMPARE(typeMenu->entry(getText("IDCS_QMX_NVR")) != nullptr, nvrEntry);
    QVERIFY(typeMenu->entry(getText("IDCS_QMX_IPC")) != nullptr);
    if (shown && opt == 2) {
        QCOMPARE(columnTexts(3).first(), QStringLiteral("10.1.1.1"));
    }
    // Clearing the filter shows what the records hold now, nothing stale or gone.
    m_window->slot_filterCleared();
    QCOMPARE(columnTexts(3).contains(QStringLiteral("192.168.1.3")), false);
    QCOMPARE(m_window->onlineCount(), records);
}

void MainWindowTest::activationColumn_data()
{
    needLanguage();
    QTest::addColumn<int>("foundValue");
    QTest::addColumn<int>("changedValue");
    QTest::addColumn<QString>("whenFound");
    QTest::addColumn<QString>("afterChange");
    const QString yes = getText("IDCS_ACTIVATED");
    const QString no = getText("IDCS_NONACTIVATED");
    QTest::newRow("0 then 1") << 0 << 1 << yes << no;
    QTest::newRow("1 then 0") << 1 << 0 << no << yes;
    QTest::newRow("other value found: empty") << 7 << 0 << QString() << yes;
    QTest::newRow("other value changed: kept") << 1 << -1 << no << no;
}

void MainWindowTest::activationColumn()
{
    QFETCH(int, foundValue);
    QFETCH(int, changedValue);
    QFETCH(QString, whenFound);
    QFETCH(QString, afterChange);
    TestDevice d = device(1);
    d.activation = foundValue;
    deliver({d.info(SEARCH_OPT_FOUND)});
    QCOMPARE(columnTexts(15), QStringList{whenFound});
    // Rows rebuilt from the records show the same.
    m_window->repopulateRows();
    QCOMPARE(columnTexts(15), QStringList{whenFound});
    d.activation = changedValue;
    deliver({d.info(SEARCH_OPT_CHANGED)});
    QCOMPARE(columnTexts(15), QStringList{afterChange});
}

void MainWindowTest::formatRunTime_data()
{
    needLanguage();
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("shown");
    const QString d = getText("IDCS_DAY");
    const QString h = getText("IDCS_HOUR");
    const QString m = getText("IDCS_MINUTE");
    const QString s = getText("IDCS_SECOND");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("zero") << "0"
                          << "";
    QTest::newRow("not a number") << "17 days 12:04:51"
                                  << "";
    QTest::newRow("59 s") << "59"
                          << "59" + s;
    QTest::newRow("1 min") << "60"
                           << "1" + m + " 0" + s;
    QTest::newRow("1 h exactly") << "3600"
                                 << "1" + h + " 0" + m + " 0" + s;
    QTest::newRow("1 d 1 h 1 min 1 s") << "90061"
                                       << "1" + d + " 1" + h + " 1" + m + " 1" + s;
    QTest::newRow("no fill characters") << "1512291"
                                        << "17" + d + " 12" + h + " 4" + m + " 51" + s;
}

void MainWindowTest::formatRunTime()
{
    QFETCH(QString, seconds);
    QFETCH(QString, shown);
    QCOMPARE(DeviceText::formatRunTime(seconds), shown);
}

void MainWindowTest::betaRule_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("shown");
    QTest::newRow("beta 130") << "2.3.0beta130"
                              << "2.3.01";
    QTest::newRow("beta 128") << "2.3.0beta128"
                              << "2.3.01";
    QTest::newRow("beta 127") << "2.3.0beta127"
                              << "2.3.0beta127";
    QTest::newRow("beta 12") << "2.3.0beta12"
                             << "2.3.0beta12";
    QTest::newRow("build after the number") << "1.0beta130(b5)"
                                            << "1.0beta130(b5)";
    QTest::newRow("Beta is not beta") << "2.3.0Beta130"
                                      << "2.3.0Beta130";
    QTest::newRow("no beta") << "V2.1.0"
                             << "V2.1.0";
}

void MainWindowTest::betaRule()
{
    QFETCH(QString, version);
    QFETCH(QString, shown);
    TestDevice d = device(1);
    d.softwareVer = version.toStdString();
    deliver({d.info(SEARCH_OPT_FOUND)});
    QCOMPARE(columnTexts(8), QStringList{shown});
}

void MainWindowTest::headerSortsAddressesAndPorts()
{
    std::vector<TestDevice> devices;
    const char* ips[] = {"10.0.0.10", "10.0.0.9", "9.0.0.200", "10.0.0.100"};
    const int ports[] = {10000, 9000, 80, 900};
    for (int i = 0; i < 4; ++i) {
        TestDevice d = device(i + 1);
        d.ip = ips[i];
        d.dataPort = ports[i];
        devices.push_back(d);
    }
    deliver(found(devices));
    VistaTreeWidget* tree = list(*m_window);
    auto* header = qobject_cast<DeviceTreeHeaderView*>(tree->header());
    QVERIFY(!tree->isSortingEnabled());
    // The list's own settings survive the style sheet's polish.
    QVERIFY(header->sectionsMovable());
    QCOMPARE(header->minimumSectionSize(), 70);
    QVERIFY(!header->stretchLastSection());
    auto pressOn = [header](int column) {
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 10);
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    };
    pressOn(3);
    QVERIFY(tree->isSortingEnabled());
    QStringList sorted = columnTexts(3);
    if (tree->header()->sortIndicatorOrder() == Qt::DescendingOrder) {
        std::reverse(sorted.begin(), sorted.end());
    }
    QCOMPARE(sorted, (QStringList{"9.0.0.200", "10.0.0.9", "10.0.0.10", "10.0.0.100"}));
    pressOn(5);
    QStringList byPort = columnTexts(5);
    if (tree->header()->sortIndicatorOrder() == Qt::DescendingOrder) {
        std::reverse(byPort.begin(), byPort.end());
    }
    QCOMPARE(byPort, (QStringList{"80", "900", "9000", "10000"}));
    // A column that does not sort hides the indicator; a new device switches sorting off.
    pressOn(0);
    QVERIFY(!header->isSortIndicatorShown());
    deliver(found({device(9)}));
    QVERIFY(!tree->isSortingEnabled());
    QCOMPARE(columnTexts(11).first(), QString::fromStdString(testMac(9)));
}

void MainWindowTest::columnMenuKeepsLastColumn()
{
    auto* header = qobject_cast<DeviceTreeHeaderView*>(list(*m_window)->header());
    const QList<QAction*> entries = header->columnMenu()->actions();
    QCOMPARE(entries.size(), 16);
    for (int column = 0; column < 16; ++column) {
        QCOMPARE(entries.at(column)->isChecked(), column < 12 || column == 15);
        QCOMPARE(header->isSectionHidden(column), !entries.at(column)->isChecked());
    }
    QCOMPARE(entries.at(13)->text(), getText("IDCS_START_TIME"));
    entries.at(13)->trigger();
    QVERIFY(!header->isSectionHidden(13));
    for (QAction* entry : entries) {
        if (entry->isChecked()) {
            entry->trigger();
        }
    }
    int shown = 0;
    for (int column = 0; column < 16; ++column) {
        shown += header->isSectionHidden(column) ? 0 : 1;
    }
    QCOMPARE(shown, 1);
    QCOMPARE(header->hiddenSectionCount(), 15);
}

void MainWindowTest::refreshModes_data()
{
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<bool>("pressRefresh");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("rowsLeft");
    QTest::newRow("10 s keeps the rows") << QList<int>{10} << false << QStringList{"StopAuto", "StartAuto 10"} << 2;
    QTest::newRow("the 15 s entry passes 30")
        << QList<int>{30} << false << QStringList{"StopAuto", "StartAuto 30"} << 2;
    QTest::newRow("off keeps the rows") << QList<int>{0} << false << QStringList{"StopAuto"} << 2;
    QTest::newRow("off, then on, empties the list")
        << QList<int>{0, 5} << false << QStringList{"StopAuto", "StopAuto", "StartAuto 5"} << 0;
    QTest::newRow("refresh while automatic") << QList<int>{} << true << QStringList{"StopAuto", "StartAuto 5"} << 0;
    QTest::newRow("refresh while off: one search") << QList<int>{0} << true << QStringList{"StopAuto", "Manual"} << 0;
}

void MainWindowTest::refreshModes()
{
    QFETCH(QList<int>, choices);
    QFETCH(bool, pressRefresh);
    QFETCH(QStringList, calls);
    QFETCH(int, rowsLeft);
    auto* button = m_window->findChild<ToolButton*>(QStringLiteral("refreshButton"));
    const QList<QAction*> entries = button->toolMenu()->actions();
    QCOMPARE(entries.size(), 4);
    QVERIFY(entries.at(1)->isChecked());
    QCOMPARE(entries.at(3)->text(), getText("IDCS_AUTO_REFRESH_BY_15S"));
    deliver(found({device(1), device(2)}));
    for (int interval : choices) {
        for (QAction* entry : entries) {
            if (entry->data().toInt() == interval) {
                entry->trigger();
            }
        }
    }
    if (pressRefresh) {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(5, button->height() / 2));
    }
    QStringList made;
    for (const LibraryCall& call : FakeSearchLibrary::Calls()) {
        made << QString::fromStdString(call.name) + (call.name == "StartAuto" ? " " + QString::number(call.value) : "");
    }
    QCOMPARE(made, calls);
    QCOMPARE(list(*m_window)->topLevelItemCount(), rowsLeft);
    QCOMPARE(m_window->onlineCount(), rowsLeft);
    QCOMPARE(m_window->deviceRecords().size(), rowsLeft);
    // Whatever was cleared, the next search lists every device again.
    deliver(found({device(1), device(2)}));
    QCOMPARE(list(*m_window)->topLevelItemCount(), 2);
}

void MainWindowTest::statusBarTexts()
{
    QCOMPARE(text("onlineCountLabel"), getText("IDCS_DEVICE_ONLINE_NUM_D").arg(0));
    QVERIFY(text("onlineCountLabel").endsWith(QLatin1String("0")));
    auto* bar = m_window->findChild<StatusBar*>();
    bar->setHostNetwork("192.168.1.20", "255.255.255.0", "192.168.1.1", "a-very-long-dns-server-name.example");
    bar->resize(bar->width() - 1, bar->height());
    QCOMPARE(text("hostIpLabel"), getText("IDCS_IP_ADDRESS_D").arg("192.168.1.20"));
    QCOMPARE(text("hostGatewayLabel"), getText("IDCS_GATEWAY_D").arg("192.168.1.1"));
    // Right to left, 20 pixels apart, the last one ending at the bar's edge.
    const QRect dns = m_window->findChild<QLabel*>("hostDnsLabel")->geometry();
    const QRect gateway = m_window->findChild<QLabel*>("hostGatewayLabel")->geometry();
    QCOMPARE(dns.right(), bar->width() - 1);
    QCOMPARE(dns.left() - gateway.right() - 1, 20);
    deliver(found({device(1), device(2), device(3)}));
    QCOMPARE(text("onlineCountLabel"), getText("IDCS_DEVICE_ONLINE_NUM_D").arg(3));
}

void MainWindowTest::routeNoteFitsBetweenCountAndHost_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("sentence");
    QTest::newRow("narrowest window: the command") << 1024 << false;
    QTest::newRow("wide window: the whole sentence") << 1900 << true;
}

// The window of a user who may not add the link-local route says so with the command.
void MainWindowTest::routeNoteFitsBetweenCountAndHost()
{
    QFETCH(int, width);
    QFETCH(bool, sentence);
    const QString command = QStringLiteral("sudo ip route add 169.254.0.0/16 dev eth0");
    const QString note = getText("IDCS_LINK_LOCAL_ROUTE_MISSING_D").arg(command);
    auto* bar = m_window->findChild<StatusBar*>();
    bar->setHostNetwork("192.168.1.20", "255.255.255.0", "192.168.1.1", "192.168.1.1");
    bar->setRouteNote(command);
    m_window->resize(width, 700);
    QTRY_COMPARE(m_window->width(), width);
    const auto* label = m_window->findChild<QLabel*>("routeNoteLabel");
    QVERIFY(label != nullptr && label->isVisible());
    // In a narrow window at least the whole command (its "sudo" may go) is shown.
    QVERIFY2(sentence ? label->text() == note
                      : command.endsWith(label->text()) && label->text().contains("ip route add"),
             qPrintable(label->text()));
    QCOMPARE(label->toolTip(), note);
    const QRect count = m_window->findChild<QLabel*>("onlineCountLabel")->geometry();
    const QRect icon = m_window->findChild<QLabel*>("routeNoteIcon")->geometry();
    const QRect ip = m_window->findChild<QLabel*>("hostIpLabel")->geometry();
    QVERIFY(icon.left() > count.left() + label->fontMetrics().horizontalAdvance(text("onlineCountLabel")));
    QVERIFY(icon.right() < label->geometry().left());
    QVERIFY2(label->geometry().left() + label->fontMetrics().horizontalAdvance(label->text()) < ip.left(),
             qPrintable(QStringLiteral("%1 runs into the host settings").arg(label->text())));
    // A longer count pushes the note along.
    bar->setOnlineCount(123456);
    QVERIFY(m_window->findChild<QLabel*>("routeNoteIcon")->geometry().left() >
            count.left() + label->fontMetrics().horizontalAdvance(text("onlineCountLabel")));
    bar->setRouteNote(QString());
    QVERIFY(m_window->findChild<QLabel*>("routeNoteLabel") == nullptr);
}

// The search library's count of reports it had to drop: polled, shown between the online count
// and the host's labels, and gone with a fresh list.
void MainWindowTest::droppedReportsWarnBesideTheCount()
{
    auto* label = m_window->findChild<QLabel*>("droppedReportsLabel");
    QVERIFY(label != nullptr);
    QVERIFY(!label->isVisible());
    FakeSearchLibrary::SetDroppedReports(1815);
    QTRY_VERIFY(label->isVisible());
    QCOMPARE(label->text(), getText("IDCS_REPORTS_DROPPED_D").arg(1815));
    QCOMPARE(label->toolTip(), label->text());
    const QRect count = m_window->findChild<QLabel*>("onlineCountLabel")->geometry();
    const QRect ip = m_window->findChild<QLabel*>("hostIpLabel")->geometry();
    QVERIFY2(label->geometry().left() > count.left() + label->fontMetrics().horizontalAdvance(text("onlineCountLabel")),
             "over the online count");
    QVERIFY2(label->geometry().right() < ip.left(), "over the host's address");
    m_window->searchManage().Refresh(true);
    QTRY_VERIFY(!label->isVisible());
}

void MainWindowTest::sizeAndMaximise()
{
    m_window->resize(800, 500);
    QCOMPARE(m_window->size(), QSize(1024, 700));
    const QRect normal(40, 30, 1100, 760);
    m_window->setGeometry(normal);
    QTRY_COMPARE(m_window->geometry(), normal);
    auto* helper = m_window->findChild<NcFramelessHelper*>();
    // A double-click in the title zone maximises to the desktop without the task bar.
    QTest::mouseDClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 15));
    // The test screen may be smaller than the window's minimum size.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QTRY_COMPARE(m_window->geometry(),
                 QRect(available.topLeft(), available.size().expandedTo(m_window->minimumSize())));
    QVERIFY(!helper->isResizable());
    QVERIFY(!helper->isMovable());
    QCOMPARE(m_window->findChild<QPushButton*>("maxButton")->accessibleName(), getText("IDCS_RESTORE"));
    // A resize while maximised does not become the geometry to restore.
    m_window->resize(1200, 800);
    m_window->findChild<QPushButton*>("maxButton")->click();
    QTRY_COMPARE(m_window->geometry(), normal);
    QVERIFY(helper->isResizable());
    QVERIFY(helper->isMovable());
}

void MainWindowTest::windowStatesSettle()
{
    int stateChanges = 0;
    struct Counter : QObject
    {
        int* count;
        explicit Counter(int* c)
            : count(c)
        {}
        bool eventFilter(QObject* /*watched*/, QEvent* event) override
        {
            if (event->type() == QEvent::WindowStateChange) {
                ++*count;
            }
            return false;
        }
    } counter(&stateChanges);
    m_window->installEventFilter(&counter);
    const auto settle = [&]() {
        // Whatever the window does with its flags happens within this time or never.
        QTest::qWait(200);
        const int before = stateChanges;
        QTest::qWait(300);
        return stateChanges == before;
    };
    m_window->findChild<QPushButton*>("maxButton")->click();
    QVERIFY(settle());
    QCOMPARE(m_window->windowState(), Qt::WindowNoState);
    m_window->showMinimized();
    QVERIFY(settle());
    m_window->showNormal();
    QVERIFY(settle());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->windowState(), Qt::WindowNoState);
    QVERIFY(m_window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(stateChanges <= 4);
    // A state the platform chose returns to normal once.
    m_window->setWindowState(Qt::WindowMaximized);
    QVERIFY(settle());
    QCOMPARE(m_window->windowState(), Qt::WindowNoState);
    QVERIFY(m_window->isVisible());
    m_window->removeEventFilter(&counter);
}

void MainWindowTest::keysNeitherCloseNorClick()
{
    const QRect before = m_window->geometry();
    for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }
    auto* edit = new QLineEdit(m_window.get());
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->geometry(), before);
    QCOMPARE(m_window->result(), 0);
}

void MainWindowTest::deviceBarToggle()
{
    auto* toggle = m_window->findChild<QPushButton*>("deviceBarButton");
    QWidget* bar = m_window->findChild<QWidget*>("deviceControlBar");
    VistaTreeWidget* tree = list(*m_window);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->width(), 301);
    QCOMPARE(tree->geometry().right(), m_window->width() - 1 - 308);
    QCOMPARE(toggle->accessibleName(), getText("IDCS_DEVICE_BAR"));
    toggle->click();
    QVERIFY(!bar->isVisible());
    QCOMPARE(tree->geometry().right(), m_window->width() - 1 - 7);
    toggle->click();
    QVERIFY(bar->isVisible());
    QCOMPARE(tree->geometry().right(), m_window->width() - 1 - 308);
}

// The library's thread keeps reporting while the window goes: the library is stopped first
// (the stand-in refuses deliveries after Quit), and what was already posted is freed.
void MainWindowTest::closingWhileReportsArrive()
{
    // The window of init() quits the stand-in when it goes: it goes first.
    m_window.reset();
    FakeSearchLibrary::Reset();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    std::atomic<bool> stop{false};
    std::atomic<int> delivered{0};
    std::thread library([&]() {
        for (int n = 0; n < 20000 && !stop; ++n) {
            std::string mac = testMac(n);
            const std::string xml = "<multicastSearchResult><productInfo><productSeries>QMX_IPC</productSeries>"
                                    "</productInfo></multicastSearchResult>";
            if (FakeSearchLibrary::Deliver(mac, 1 + n % 3, xml.c_str())) {
                ++delivered;
            }
        }
    });
    (void)QTest::qWaitFor([&]() { return delivered.load() > 200; }, 5000);
    QCoreApplication::processEvents();
    m_window.reset();
    stop = true;
    library.join();
    QVERIFY(delivered.load() > 200);
    QVERIFY(!FakeSearchLibrary::Running());
    QCOMPARE(QString::fromStdString(FakeSearchLibrary::CallNames().back()), QStringLiteral("Quit"));
}

int main(int argc, char* argv[])
{
    // The window adds a link-local route when it starts: never on the machine's own network.
    if (!enterPrivateNetwork()) {
        std::fprintf(stderr, "MainWindowTest: needs root for a private network namespace; skipped\n");
        return 77;
    }
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
