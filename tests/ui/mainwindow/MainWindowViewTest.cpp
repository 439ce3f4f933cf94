#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "FakeSearchLibrary.h"
#include "HeaderButton.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "MainWindowTestSupport.h"
#include "QMXMenu.h"
#include "Scanix_Search.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QAccessible>
#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <cstdio>
#include <memory>
#include <thread>

// What the list shows beyond its rows: whole texts in tooltips, filter marks and counts, the
// header's behaviour, the keyboard's reach, and a teardown that runs nothing it should not.
class MainWindowViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cutAndElidedTextsShowWhole();
    void activeFilterStaysMarkedAndCounted();
    void headerAtStartAndAboutButton();
    void hiddenColumnKeepsItsWidth();
    void keyboardReachesEveryControl();
    void teardownOnlyFreesQueuedReports();

private:
    // A camera report with this name, through the engine's own reading of the document.
    void report(int n, const std::string& name, const std::string& type = "QMX_IPC");
    VistaTreeWidget* list() const;
    DeviceTreeHeaderView* header() const;
    QString label(const char* name) const;

    std::unique_ptr<MainWindow> m_window;
};

void MainWindowViewTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void MainWindowViewTest::init()
{
    FakeSearchLibrary::Reset();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void MainWindowViewTest::cleanup()
{
    m_window.reset();
}

void MainWindowViewTest::report(int n, const std::string& name, const std::string& type)
{
    const std::string xml = "<multicastSearchResult><productInfo><productSeries>" + type +
                            "</productSeries></productInfo><tcpIp><ipAddr><item><ip>192.168.1." + std::to_string(n) +
                            "</ip></item></ipAddr></tcpIp><port><dataPort>9008</dataPort><httpPort>80</httpPort>"
                            "</port><productInfo><devName>" +
                            name + "</devName><productSeries>" + type +
                            "</productSeries></productInfo>"
                            "</multicastSearchResult>";
    QVERIFY(FakeSearchLibrary::DeliverOnThread(testMac(n), SCANIX_KIND_FOUND, xml).get());
    QTRY_VERIFY(m_window->deviceRecords().find(QString::fromStdString(testMac(n))) != nullptr);
}

VistaTreeWidget* MainWindowViewTest::list() const
{
    return m_window->findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
}

DeviceTreeHeaderView* MainWindowViewTest::header() const
{
    return qobject_cast<DeviceTreeHeaderView*>(list()->header());
}

QString MainWindowViewTest::label(const char* name) const
{
    const auto* found = m_window->findChild<QLabel*>(QString::fromLatin1(name));
    return found != nullptr ? found->text() : QStringLiteral("(missing)");
}

void MainWindowViewTest::cutAndElidedTextsShowWhole()
{
    report(1, "北门入口摄像机一号北门");
    report(2, "Gate");
    VistaTreeWidget* tree = list();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* cut = tree->findItems(QStringLiteral("192.168.1.1"), Qt::MatchExactly, 3).value(0);
    QVERIFY(cut != nullptr);
    // Cut on a character, marked, and told in the tooltip.
    QCOMPARE(cut->text(0), QStringLiteral("北门入口摄像机一号…"));
    QCOMPARE(cut->toolTip(0), cut->text(0) + QLatin1Char('\n') + getText("IDCS_TEXT_CUT_NOTE"));
    QTreeWidgetItem* whole = tree->findItems(QStringLiteral("192.168.1.2"), Qt::MatchExactly, 3).value(0);
    QVERIFY(whole->toolTip(0).isEmpty());

    // A cell too narrow for its text shows it whole on hover; a cell whose text fits shows none.
    const auto tipAt = [tree](QTreeWidgetItem* row, int column) {
        QToolTip::hideText();
        const QRect cell = tree->visualItemRect(row).intersected(
            QRect(tree->header()->sectionViewportPosition(column), 0, tree->header()->sectionSize(column), 100000));
        QHelpEvent event(QEvent::ToolTip, cell.center(), tree->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(tree->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(whole, 0), QString());
    tree->header()->resizeSection(2, 70);
    whole->setText(2, QStringLiteral("<b>a model name far too long for seventy pixels</b>"));
    QVERIFY(tipAt(whole, 2).contains(QStringLiteral("&lt;b&gt;a model name far too long")));
    QVERIFY(tipAt(cut, 0).contains(getText("IDCS_TEXT_CUT_NOTE")));
    QToolTip::hideText();
}

void MainWindowViewTest::activeFilterStaysMarkedAndCounted()
{
    report(1, "a", "QMX_NVR");
    report(2, "b", "QMX_DVR");
    report(3, "c", "QMX_IPC");
    auto* typeMenu = m_window->findChild<DeviceTypeFilterMenu*>(QStringLiteral("deviceTypeFilterMenu"));
    QStringList entries;
    for (QAction* action : typeMenu->actions()) {
        entries << action->text();
    }
    QStringList types = entries.mid(1);
    std::sort(types.begin(), types.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    QCOMPARE(entries.mid(1), types);
    QCOMPARE(entries.first(), getText("IDCS_ALL_DEVICE"));
    QCOMPARE(label("onlineCountLabel"), getText("IDCS_DEVICE_ONLINE_NUM_D").arg(3));

    auto* ipButton = m_window->findChild<HeaderButton*>(QStringLiteral("ipFilterButton"));
    auto* typeButton = m_window->findChild<HeaderButton*>(QStringLiteral("deviceTypeFilterButton"));
    m_window->slot_ipaddressMenuTriggered(QStringLiteral("192.168.1.1"), QStringLiteral("192.168.1.2"));
    QVERIFY(ipButton->isFilterActive());
    QVERIFY(ipButton->isVisibleTo(header()));
    QVERIFY(!typeButton->isVisibleTo(header()));
    QCOMPARE(label("onlineCountLabel"), getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(2).arg(3));
    // The header text of the section keeps clear of the button.
    QCOMPARE(list()->topLevelItemCount(), 2);

    // The type filter: its entry stays while the filter is on, even once its last device left.
    QAction* nvr = typeMenu->entry(getText("IDCS_QMX_NVR"));
    QVERIFY(nvr != nullptr);
    nvr->trigger();
    QVERIFY(typeButton->isFilterActive() && typeButton->isVisibleTo(header()));
    QVERIFY(!ipButton->isFilterActive() && !ipButton->isVisibleTo(header()));
    QCOMPARE(label("onlineCountLabel"), getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(1).arg(3));
    SEARCH_INFO gone{};
    gone.opt = SEARCH_OPT_GONE;
    CopyText(gone.devInfo.mac, testMac(1));
    m_window->Update(gone, nullptr);
    QTRY_COMPARE(m_window->deviceRecords().size(), 2);
    QVERIFY(typeMenu->entry(getText("IDCS_QMX_NVR")) != nullptr);
    QCOMPARE(label("onlineCountLabel"), getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(0).arg(2));
    m_window->slot_filterCleared();
    QVERIFY(typeMenu->entry(getText("IDCS_QMX_NVR")) == nullptr);
    QVERIFY(!typeButton->isFilterActive());
    QCOMPARE(label("onlineCountLabel"), getText("IDCS_DEVICE_ONLINE_NUM_D").arg(2));
}

void MainWindowViewTest::headerAtStartAndAboutButton()
{
    // Nothing sorts before a press on a sortable column.
    QVERIFY(!header()->sectionsClickable());
    auto* about = m_window->findChild<QPushButton*>(QStringLiteral("aboutButton"));
    auto* toggle = m_window->findChild<QPushButton*>(QStringLiteral("deviceBarButton"));
    const int w = m_window->width();
    const int aboutText = about->fontMetrics().horizontalAdvance(about->text());
    if (aboutText + 12 <= 50) {
        // A text that fits (English) leaves both where the layout puts them.
        QCOMPARE(about->geometry(), QRect(QPoint(w - 70, 63), QPoint(w - 21, 88)));
        QCOMPARE(toggle->geometry(), QRect(QPoint(w - 100, 63), QPoint(w - 75, 88)));
    } else {
        QVERIFY(about->width() >= aboutText + 12);
        QCOMPARE(about->geometry().right(), w - 21);
        QCOMPARE(toggle->geometry().right() + 5, about->geometry().left());
    }
}

void MainWindowViewTest::hiddenColumnKeepsItsWidth()
{
    DeviceTreeHeaderView* view = header();
    const int width = view->sectionSize(1);
    QVERIFY(width >= 120);
    QAction* typeColumn = view->columnMenu()->actions().at(1);
    typeColumn->trigger();
    QVERIFY(view->isSectionHidden(1));
    // A press on a column that does not sort repaints the header by nudging a width.
    const QPoint centre(view->sectionViewportPosition(0) + view->sectionSize(0) / 2, 10);
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    typeColumn->trigger();
    QVERIFY(!view->isSectionHidden(1));
    QCOMPARE(view->sectionSize(1), width);
}

void MainWindowViewTest::keyboardReachesEveryControl()
{
    report(1, "a");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    auto* refresh = m_window->findChild<QPushButton*>(QStringLiteral("refreshButton"));
    refresh->setFocus(Qt::TabFocusReason);
    const char* const order[] = {"deviceBarButton",
                                 "aboutButton",
                                 "deviceTreeHeader",
                                 "deviceTypeFilterButton",
                                 "ipFilterButton",
                                 "portFilterButton",
                                 "deviceList"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        QVERIFY(accessible != nullptr && !accessible->text(QAccessible::Name).isEmpty());
    }
    // F5 searches again from an empty list.
    FakeSearchLibrary::ClearCalls();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    QCOMPARE(FakeSearchLibrary::CallNames(), (std::vector<std::string>{"StopAuto", "StartAuto"}));
    QCOMPARE(list()->topLevelItemCount(), 0);

    // While the keyboard is on the header, its filter buttons show for Tab to reach them.
    auto* typeButton = m_window->findChild<QPushButton*>(QStringLiteral("deviceTypeFilterButton"));
    auto* portButton = m_window->findChild<QPushButton*>(QStringLiteral("portFilterButton"));
    header()->setFocus(Qt::TabFocusReason);
    QVERIFY(typeButton->isVisible() && portButton->isVisible());
    list()->setFocus(Qt::TabFocusReason);
    QVERIFY(!portButton->isVisibleTo(header()));

    // Menus open from the keyboard: the column menu from the header, a filter from its button,
    // the refresh modes from the refresh button. Each runs modally and is closed once it shows.
    const auto opensMenu = [](QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
        bool shown = false;
        QTimer::singleShot(0, [&shown]() {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = true;
                menu->close();
            }
        });
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        return shown;
    };
    QVERIFY(opensMenu(header(), Qt::Key_F10, Qt::ShiftModifier));
    QVERIFY(opensMenu(header(), Qt::Key_Space, Qt::NoModifier));
    QVERIFY(opensMenu(typeButton, Qt::Key_Return, Qt::NoModifier));
    QVERIFY(opensMenu(portButton, Qt::Key_F4, Qt::NoModifier));
    QVERIFY(opensMenu(refresh, Qt::Key_Down, Qt::NoModifier));
}

// Reports still queued when the window goes are freed, and nothing else queued runs: a
// queued restore of the window's flags would show the native window again while it goes.
void MainWindowViewTest::teardownOnlyFreesQueuedReports()
{
    struct ShowCounter : QObject
    {
        int shows = 0;
        bool eventFilter(QObject* /*watched*/, QEvent* event) override
        {
            if (event->type() == QEvent::Show) {
                ++shows;
            }
            return false;
        }
    } counter;
    MainWindow* window = m_window.get();
    std::thread library([window]() {
        for (int n = 0; n < 50; ++n) {
            TestDevice device;
            device.mac = testMac(n);
            window->Update(device.info(SEARCH_OPT_FOUND), nullptr);
        }
    });
    library.join();
    // The platform maximises the window: a restore of the frameless flags is queued, and so
    // is a call of any other kind.
    m_window->setWindowState(Qt::WindowMaximized);
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(
        m_window.get(), [&queuedCallRan]() { queuedCallRan = true; }, Qt::QueuedConnection);
    m_window->installEventFilter(&counter);
    m_window.reset();
    QCOMPARE(counter.shows, 0);
    QVERIFY(!queuedCallRan);
}

int main(int argc, char* argv[])
{
    // The window adds a link-local route when it starts: never on the machine's own network.
    if (!enterPrivateNetwork()) {
        std::fprintf(stderr, "MainWindowViewTest: needs root for a private network namespace; skipped\n");
        return 77;
    }
    QApplication app(argc, argv);
    MainWindowViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowViewTest.moc"
