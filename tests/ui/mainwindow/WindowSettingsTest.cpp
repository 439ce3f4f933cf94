// The window's remembered settings through the real window and the real settings file: what
// one run arranged comes back in the next, and a damaged file is ignored with one line and
// replaced by a sound one.
#include "WindowSettings.h"

#include "DeviceTreeHeaderView.h"
#include "FakeSearchLibrary.h"
#include "IconButton.h"
#include "MainWindow.h"
#include "MainWindowTestSupport.h"
#include "QMXMenu.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"
#include "WidgetTestSupport.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <sstream>

class WindowSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void theFileLivesInTheUsersConfigFolder();
    void arrangementSurvivesARestart_data();
    void arrangementSurvivesARestart();
    void damagedFileIsIgnoredAndReplaced_data();
    void damagedFileIsIgnoredAndReplaced();

private:
    std::unique_ptr<MainWindow> startWindow(WindowSettings& settings, std::ostream& errors);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {
DeviceTreeHeaderView* header(MainWindow& window)
{
    return window.findChild<DeviceTreeHeaderView*>(QStringLiteral("deviceTreeHeader"));
}

VistaTreeWidget* list(MainWindow& window)
{
    return window.findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
}

QAction* refreshEntry(MainWindow& window, int interval)
{
    auto* button = window.findChild<ToolButton*>(QStringLiteral("refreshButton"));
    for (QAction* action : button->toolMenu()->actions()) {
        if (action->data().toInt() == interval) {
            return action;
        }
    }
    return nullptr;
}

QAction* columnEntry(MainWindow& window, int column)
{
    for (QAction* action : header(window)->columnMenu()->actions()) {
        if (action->data().toInt() == column) {
            return action;
        }
    }
    return nullptr;
}

// Everything the user can see of the arrangement, as one comparable text.
QString arrangement(MainWindow& window)
{
    DeviceTreeHeaderView* h = header(window);
    QStringList parts;
    for (int visual = 0; visual < h->count(); ++visual) {
        const int column = h->logicalIndex(visual);
        parts << QStringLiteral("%1:%2:%3:%4")
                     .arg(column)
                     .arg(h->isSectionHidden(column) ? 0 : h->sectionSize(column))
                     .arg(columnEntry(window, column)->isChecked())
                     .arg(h->isSectionHidden(column));
    }
    parts << QStringLiteral("sort %1 %2").arg(list(window)->sortColumn()).arg(h->sortIndicatorOrder());
    parts << QStringLiteral("bar %1").arg(
        window.findChild<IconButton*>(QStringLiteral("deviceBarButton"))->isChecked());
    for (const char* body : {"networkBody", "restoreBody"}) {
        parts << QStringLiteral("%1 %2").arg(QLatin1String(body)).arg(!window.findChild<QWidget*>(body)->isHidden());
    }
    for (int interval : {0, 5, 10, 30}) {
        parts << QStringLiteral("refresh %1 %2").arg(interval).arg(refreshEntry(window, interval)->isChecked());
    }
    return parts.join(QLatin1Char(' '));
}

// The interval of the last periodic search the window asked the library for.
int lastStartAuto()
{
    int interval = -1;
    for (const LibraryCall& call : FakeSearchLibrary::Calls()) {
        if (call.name == "StartAuto") {
            interval = call.value;
        } else if (call.name == "StopAuto") {
            interval = 0;
        }
    }
    return interval;
}
} // namespace

void WindowSettingsTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void WindowSettingsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    FakeSearchLibrary::Reset();
}

std::unique_ptr<MainWindow> WindowSettingsTest::startWindow(WindowSettings& settings, std::ostream& errors)
{
    auto window = std::make_unique<MainWindow>();
    window->restoreSavedState(settings.load(errors));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return nullptr;
    }
    return window;
}

// main() points XDG_CONFIG_HOME here before the application starts.
void WindowSettingsTest::theFileLivesInTheUsersConfigFolder()
{
    QCOMPARE(WindowSettings::defaultFilePath(),
             qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Scanix/Scanix.ini"));
}

void WindowSettingsTest::arrangementSurvivesARestart_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void WindowSettingsTest::arrangementSurvivesARestart()
{
    QFETCH(bool, maximized);
    WindowSettings settings(m_dir->filePath(QStringLiteral("config/Scanix/Scanix.ini")));
    std::ostringstream errors;
    QString arranged;
    const QRect normal(40, 30, 1100, 720);
    {
        std::unique_ptr<MainWindow> first = startWindow(settings, errors);
        QVERIFY(first);
        first->setGeometry(normal);
        DeviceTreeHeaderView* h = header(*first);
        h->moveSection(h->visualIndex(11), 0);
        h->resizeSection(0, 203);
        columnEntry(*first, 6)->trigger();
        columnEntry(*first, 13)->trigger();
        list(*first)->sortByColumn(5, Qt::DescendingOrder);
        refreshEntry(*first, 10)->trigger();
        // Both sections turned over with their headers, then the bar closed.
        for (const char* header : {"networkHeader", "restoreHeader"}) {
            QTest::mouseClick(first->findChild<QWidget*>(header), Qt::LeftButton);
        }
        first->findChild<IconButton*>(QStringLiteral("deviceBarButton"))->click();
        if (maximized) {
            first->slot_maxBtnClicked();
        }
        arranged = arrangement(*first);
        QVERIFY(settings.save(first->savedState(), errors));
    }
    FakeSearchLibrary::Reset();
    std::unique_ptr<MainWindow> second = startWindow(settings, errors);
    QVERIFY(second);
    QCOMPARE(arrangement(*second), arranged);
    QCOMPARE(lastStartAuto(), 10);
    QVERIFY(!second->findChild<QWidget*>(QStringLiteral("deviceControlBar"))->isVisible());
    QCOMPARE(second->savedState().maximized, maximized);
    if (maximized) {
        second->slot_maxBtnClicked();
    }
    QCOMPARE(second->geometry(), normal);
    QCOMPARE(QString::fromStdString(errors.str()), QString());
    // Nothing the user typed is ever kept.
    QFile file(settings.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(!file.readAll().toLower().contains("password"));
}

void WindowSettingsTest::damagedFileIsIgnoredAndReplaced_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QByteArray noise;
    for (int i = 0; i < 300; ++i) {
        noise.append(static_cast<char>((i * 7919 + 13) % 251));
    }
    QTest::newRow("noise") << noise << "not text";
    QTest::newRow("cut off inside a character") << QByteArray("[window]\nmaximized=tr\xD0") << "not text";
    QTest::newRow("broken syntax") << QByteArray("[window\nmaximized=true\n[list]]\nheader\n") << "not a settings file";
    QTest::newRow("unknown interval") << QByteArray("[refresh]\ninterval=7\n") << "refresh/interval";
    QTest::newRow("geometry as text") << QByteArray("[window]\nnormalGeometry=wide\n") << "window/normalGeometry";
    QTest::newRow("column out of range") << QByteArray("[list]\nsortColumn=99\n") << "list/sortColumn";
}

void WindowSettingsTest::damagedFileIsIgnoredAndReplaced()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    WindowSettings settings(m_dir->filePath(QStringLiteral("Scanix.ini")));
    {
        QFile file(settings.filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    std::ostringstream errors;
    std::unique_ptr<MainWindow> window = startWindow(settings, errors);
    QVERIFY(window);
    const QStringList lines = QString::fromStdString(errors.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(settings.filePath()) && lines.first().contains(reason), qPrintable(lines.first()));
    // The window starts as it would without any file: periodic search every 5 seconds.
    QCOMPARE(lastStartAuto(), 5);
    QVERIFY(refreshEntry(*window, 5)->isChecked());

    refreshEntry(*window, 30)->trigger();
    QVERIFY(settings.save(window->savedState(), errors));
    window.reset();

    WindowSettings again(settings.filePath());
    std::ostringstream later;
    const SavedWindowState state = again.load(later);
    QCOMPARE(QString::fromStdString(later.str()), QString());
    QCOMPARE(state.refreshInterval, 30);
    QVERIFY(!again.damaged());
}

int main(int argc, char* argv[])
{
    // The window adds a link-local route when it starts: never on the machine's own network.
    if (!enterPrivateNetwork()) {
        std::fprintf(stderr, "WindowSettingsTest: needs root for a private network namespace; skipped\n");
        return 77;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    WindowSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowSettingsTest.moc"
