#include "DeviceRowInfo.h"
#include "FakeSearchLibrary.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "MessageBoxRecorder.h"
#include "Scanix_Search.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>

#include <atomic>
#include <chrono>
#include <sched.h>
#include <thread>
#include <unistd.h>

// The window's device actions with the recording stand-in of the search library: each result
// to its one message box, the restore look-up and its refusals, and the double-click's MAC.
class MainWindowActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void networkParamResults_data();
    void networkParamResults();
    void restore_data();
    void restore();
    void doubleClickOpensTheRowsDevice_data();
    void doubleClickOpensTheRowsDevice();
    void aPageThatCannotOpenIsReported();
    void copiesFromTheList();

private:
    void report(const char* mac, const QString& document);
    QTreeWidgetItem* row(const char* mac) const;

    MainWindow* m_window = nullptr;
    VistaTreeWidget* m_list = nullptr;
};

namespace {

// Set by main: the window adds a route at start, so it is built only in a network of its own.
bool g_privateNetwork = false;

const char* const kCamera = "00:1A:2B:3C:4D:01";
const char* const kRecorder = "00:1A:2B:3C:4D:02";
const char* const kKeyboard = "00:1A:2B:3C:4D:03";
const char* const kOtherCamera = "00:1A:2B:3C:4D:04";

QString document(const char* name)
{
    QFile file(QStringLiteral(SCANIX_ENGINE_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The data functions run while no window has loaded the language: they name the keys of a
// box, "IDCS_ERROR|IDCS_...", and the test translates them.
QString box(const char* title, const char* key)
{
    return QLatin1String(title) + QLatin1Char('|') + QLatin1String(key);
}

QString translated(const QString& keys)
{
    if (keys.isEmpty()) {
        return keys;
    }
    const QStringList parts = keys.split(QLatin1Char('|'));
    return getText(parts[0].toLatin1().constData()) + QLatin1Char('|') + getText(parts[1].toLatin1().constData());
}

int countCalls(const char* name)
{
    int n = 0;
    for (const LibraryCall& call : FakeSearchLibrary::Calls()) {
        n += call.name == name ? 1 : 0;
    }
    return n;
}

} // namespace

void MainWindowActionsTest::initTestCase()
{
    if (!g_privateNetwork) {
        QSKIP("needs root for a private network namespace: the window adds a route at start");
    }
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    // One window for every test: the actions keep no state, and each row resets what it uses.
    FakeSearchLibrary::Reset();
    m_window = new MainWindow;
    m_window->resize(1200, 760);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_list = m_window->findChild<VistaTreeWidget*>();
    QVERIFY(m_list != nullptr);
    RequestTimings timings;
    timings.answerWaitMs = 300;
    m_window->searchManage().SetRequestTimings(timings);

    report(kCamera, document("ipc_found.xml"));
    report(kRecorder, document("nvr_found.xml"));
    report(kKeyboard, document("ipc_found.xml").replace("QMX_IPC", "QMX_NETKEYBOARD"));
    report(kOtherCamera, document("ipc_found.xml").replace("169.254.12.34", "169.254.99.99"));
    QTRY_COMPARE(m_list->topLevelItemCount(), 4);
}

void MainWindowActionsTest::cleanupTestCase()
{
    delete m_window;
    m_window = nullptr;
}

void MainWindowActionsTest::init()
{
    FakeSearchLibrary::ClearCalls();
    QApplication::processEvents();
}

void MainWindowActionsTest::report(const char* mac, const QString& doc)
{
    QVERIFY(FakeSearchLibrary::Deliver(mac, SCANIX_KIND_FOUND, doc.toUtf8().constData()));
}

QTreeWidgetItem* MainWindowActionsTest::row(const char* mac) const
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const DeviceRowInfo* record = MainWindow::recordOf(m_list->topLevelItem(i));
        if (record != nullptr && record->mac == QLatin1String(mac)) {
            return m_list->topLevelItem(i);
        }
    }
    return nullptr;
}

void MainWindowActionsTest::networkParamResults_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<int>("answer");      // the device's setIPResult; -1: it never answers
    QTest::addColumn<QString>("message"); // empty: no box at all
    QTest::addColumn<bool>("sent");

    const QString camera = QLatin1String(kCamera);
    const auto error = [](const char* key) { return box("IDCS_ERROR", key); };
    const auto rule = [&](const char* name, const char* ip, const char* mask, const char* gateway, const char* key) {
        QTest::newRow(name) << camera << ip << mask << gateway << -1 << error(key) << false;
    };
    rule("1 host all ones", "192.168.1.255", "255.255.255.0", "192.168.1.1", "IDCS_ERROR_IP_MASK_ALL1");
    rule("2 host all zeros", "192.168.1.0", "255.255.255.0", "192.168.1.1", "IDCS_ERROR_IP_MASK_ALL0");
    rule("3 loopback", "127.0.0.1", "255.0.0.0", "127.0.0.254", "IDCS_ERROR_USE_LOOPBACK");
    rule("4 route invalid", "224.0.0.5", "255.255.255.0", "224.0.0.1", "IDCS_ERROR_IP_ROUTE_INVALID");
    rule("5 mask not contiguous", "10.0.0.5", "255.0.255.0", "10.0.0.1", "IDCS_ERROR_MASK_NOT_CONTINE");
    rule("6 other segment", "192.168.1.10", "255.255.255.0", "192.168.2.1", "IDCS_ERROR_DIFFERENT_SEGMENT");
    rule("7 gateway all ones", "192.168.1.10", "255.255.255.0", "192.168.1.255", "IDCS_ERROR_ROUTE_MASK_ALL1");
    rule("8 gateway all zeros", "192.168.1.10", "255.255.255.0", "0.0.0.0", "IDCS_ERROR_ROUTE_MASK_ALL0");
    const char* ip = "192.168.1.70";
    const char* mask = "255.255.255.0";
    const char* gw = "192.168.1.1";
    QTest::newRow("0 accepted") << camera << ip << mask << gw << 0
                                << box("IDCS_INFORMATION", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS") << true;
    QTest::newRow("9 no answer") << camera << ip << mask << gw << -1 << error("IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR")
                                 << true;
    QTest::newRow("10 refused") << camera << ip << mask << gw << 1 << error("IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR")
                                << true;
    QTest::newRow("not a camera, silent") << QString::fromLatin1(kRecorder) << ip << mask << gw << -1
                                          << error("IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR") << true;
    QTest::newRow("not a camera, accepted")
        << QString::fromLatin1(kRecorder) << ip << mask << gw << 0
        << box("IDCS_INFORMATION", "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS") << true;
    QTest::newRow("unknown answer") << camera << ip << mask << gw << 7 << error("IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR")
                                    << true;
}

void MainWindowActionsTest::networkParamResults()
{
    QFETCH(QString, mac);
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(bool, sent);

    // The request runs off the window's thread: the window shows it waits and takes no second
    // request until the device (answering on the library's thread) settles it.
    MessageBoxRecorder boxes;
    m_window->slot_changeNetworkParam(mac, ip, mask, gateway, "pass", QString(), QString(), false);
    QVERIFY(m_window->requestRunning());
    const QCursor* cursor = QApplication::overrideCursor();
    QVERIFY(cursor != nullptr && cursor->shape() == Qt::BusyCursor);
    QVERIFY(!m_window->findChild<QWidget*>(QStringLiteral("save"))->isEnabled());
    m_window->slot_changeNetworkParam(mac, ip, mask, gateway, "pass", QString(), QString(), false);
    QVERIFY(!m_window->close());
    if (sent) {
        QTRY_COMPARE(countCalls("SetConfig"), 1);
    }
    if (answer >= 0) {
        const std::string xml =
            "<multicastSearchResult><setIPResult>" + std::to_string(answer) + "</setIPResult></multicastSearchResult>";
        QVERIFY(FakeSearchLibrary::Deliver(mac.toLatin1().constData(), SCANIX_KIND_SETIP_ANSWER, xml.c_str()));
    }
    QTRY_VERIFY(!m_window->requestRunning());
    QTRY_COMPARE(boxes.boxes(), QStringList{translated(message)});
    QCOMPARE(countCalls("SetConfig"), sent ? 1 : 0);
    QVERIFY(m_window->findChild<QWidget*>(QStringLiteral("save"))->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void MainWindowActionsTest::restore_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<bool>("rowHidden");
    QTest::addColumn<int>("libraryResult");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("sent");

    const char* success = "IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS";
    QTest::newRow("camera") << kCamera << false << 1 << box("IDCS_INFORMATION", success) << true;
    QTest::newRow("camera without a row") << kCamera << true << 1 << box("IDCS_INFORMATION", success) << true;
    QTest::newRow("keyboard, low byte set") << kKeyboard << false << 0x101 << box("IDCS_INFORMATION", success) << true;
    QTest::newRow("low byte clear") << kCamera << false << 0x200
                                    << box("IDCS_ERROR", "IDCS_RESTORE_DEVICE_PASSWORD_ERROR") << true;
    QTest::newRow("restore window closed")
        << kCamera << false << 0x100 << box("IDCS_ERROR", "IDCS_RESTORE_PRESS_RESET_BUTTON") << true;
    QTest::newRow("recorder") << kRecorder << false << 1 << box("IDCS_ERROR", "IDCS_PROMPT_DEVICE_NOT_SUPPORT")
                              << false;
    QTest::newRow("unknown MAC") << "00:1A:2B:3C:4D:99" << false << 1
                                 << box("IDCS_ERROR", "IDCS_PROMPT_DEVICE_NOT_EXIST") << false;
    QTest::newRow("lower-case MAC") << "00:1a:2b:3c:4d:01" << false << 1
                                    << box("IDCS_ERROR", "IDCS_PROMPT_DEVICE_NOT_EXIST") << false;
}

void MainWindowActionsTest::restore()
{
    QFETCH(QString, mac);
    QFETCH(bool, rowHidden);
    QFETCH(int, libraryResult);
    QFETCH(QString, message);
    QFETCH(bool, sent);

    FakeSearchLibrary::SetRestoreResult(libraryResult);
    auto* restoreMac = m_window->findChild<QWidget*>(QStringLiteral("restoreMac"));
    const QList<QLineEdit*> pairs = restoreMac->findChildren<QLineEdit*>();
    pairs.first()->setText(QStringLiteral("00"));
    // A device the list does not show (filtered out) is still one the window knows.
    QTreeWidgetItem* hidden = nullptr;
    if (rowHidden) {
        hidden = m_list->takeTopLevelItem(m_list->indexOfTopLevelItem(row(kCamera)));
        QVERIFY(row(kCamera) == nullptr);
    }
    MessageBoxRecorder boxes;
    m_window->slot_restorePwd(mac);
    QTRY_VERIFY(!m_window->requestRunning());
    if (hidden != nullptr) {
        m_list->addTopLevelItem(hidden);
    }

    // A device the window knows is named in a question first.
    QStringList expected{translated(message)};
    if (sent) {
        const DeviceRowInfo* record = m_window->deviceRecords().find(mac);
        QVERIFY(record != nullptr);
        expected.prepend(getText("IDCS_QUESTION") + QLatin1Char('|') +
                         getText("IDCS_RESTORE_PASSWORD_CONFIRM").arg(record->name, record->model, record->ipAddress));
    }
    QTRY_COMPARE(boxes.boxes(), expected);
    QCOMPARE(countCalls("RestoreDefault"), sent ? 1 : 0);
    const bool cleared = message == box("IDCS_INFORMATION", "IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS");
    QCOMPARE(pairs.first()->text(), cleared ? QString() : QStringLiteral("00"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void MainWindowActionsTest::doubleClickOpensTheRowsDevice_data()
{
    QTest::addColumn<int>("moveTo"); // where column 11 is dragged to; -1: left in place
    QTest::addColumn<bool>("hidden");

    QTest::newRow("in place") << -1 << false;
    QTest::newRow("moved first") << 0 << false;
    QTest::newRow("hidden") << -1 << true;
}

void MainWindowActionsTest::doubleClickOpensTheRowsDevice()
{
    QFETCH(int, moveTo);
    QFETCH(bool, hidden);

    // The launcher writes the URL it is given to a file instead of starting a browser.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString opened = dir.filePath(QStringLiteral("opened.txt"));
    QFile launcher(dir.filePath(QStringLiteral("OpenURLWithAdminSrc.txt")));
    QVERIFY(launcher.open(QIODevice::WriteOnly));
    launcher.write(QStringLiteral("echo >'%1' http://127.0.0.1\n").arg(opened).toUtf8());
    launcher.close();
    m_window->searchManage().SetLauncherDirectory(dir.path().toStdString());

    QHeaderView* header = m_list->header();
    if (moveTo >= 0) {
        header->moveSection(header->visualIndex(11), moveTo);
    }
    header->setSectionHidden(11, hidden);
    QTreeWidgetItem* item = row(kOtherCamera);
    QVERIFY(item != nullptr);
    const QRect cell = m_list->visualItemRect(item);
    // Away from the window's edges, where a press starts a resize of the frameless window.
    const QPoint inRow(m_list->viewport()->width() / 3, cell.center().y());
    // A user's double-click: the first click, then the press that the system reports as double.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, inRow);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, inRow);

    // The device is not reachable here, so its link-local address is opened.
    QTRY_COMPARE_WITH_TIMEOUT(QFile::exists(opened), true, 3000);
    const auto written = [&opened]() {
        QFile file(opened);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    };
    QTRY_COMPARE(written(), QStringLiteral("https://169.254.99.99:80"));
}

void MainWindowActionsTest::aPageThatCannotOpenIsReported()
{
    // The browser command fails at once, as xdg-open does when it finds no browser.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile launcher(dir.filePath(QStringLiteral("OpenURLWithAdminSrc.txt")));
    QVERIFY(launcher.open(QIODevice::WriteOnly));
    launcher.write("sh -c 'exit 3' http://127.0.0.1\n");
    launcher.close();
    m_window->searchManage().SetLauncherDirectory(dir.path().toStdString());

    MessageBoxRecorder boxes;
    m_window->slot_itemDoubleClicked(row(kOtherCamera), 0);
    QTRY_COMPARE(boxes.boxes(),
                 QStringList{getText("IDCS_ERROR") + QLatin1Char('|') +
                             getText("IDCS_WEB_PAGE_NOT_OPENED").arg(QStringLiteral("https://169.254.99.99:80"))});
    QTRY_VERIFY(QApplication::overrideCursor() == nullptr);
}

void MainWindowActionsTest::copiesFromTheList()
{
    QTreeWidgetItem* item = row(kRecorder);
    QVERIFY(item != nullptr);
    m_list->setCurrentItem(item);
    // The row is copied as shown (in the user's column order): the MAC column, hidden by an
    // earlier test, shows again.
    m_list->header()->setSectionHidden(11, false);
    QGuiApplication::clipboard()->clear();
    // Ctrl+C: the whole row as shown, tab-separated.
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    const QStringList cells = QGuiApplication::clipboard()->text().split(QLatin1Char('\t'));
    QVERIFY2(cells.contains(QLatin1String(kRecorder)) && cells.contains(item->text(0)) && cells.size() > 10,
             qPrintable(cells.join(QLatin1Char('|'))));

    // The row menu's first two entries: the MAC and the IP address.
    const QPoint inRow(m_list->viewport()->width() / 3, m_list->visualItemRect(item).center().y());
    for (const int entry : {0, 1}) {
        QTimer::singleShot(200, [entry]() {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu != nullptr) {
                menu->actions().at(entry)->trigger();
                menu->close();
            }
        });
        m_window->slot_rowMenuRequested(inRow);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 entry == 0 ? QString::fromLatin1(kRecorder) : MainWindow::recordOf(item)->ipAddress);
    }
}

int main(int argc, char** argv)
{
    // Before any thread starts: the process gets a network of its own, with only loopback,
    // so the route the window adds and the probes of the web-page launcher stay in it.
    g_privateNetwork = geteuid() == 0 && unshare(CLONE_NEWNET) == 0 && std::system("ip link set lo up") == 0;
    QApplication app(argc, argv);
    MainWindowActionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowActionsTest.moc"
