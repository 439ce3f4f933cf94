// Times the device list under a flood of reports: N devices found, then all changed, then all
// gone, each phase fed from a worker thread through Update as the engine does. Reports the
// time until the list shows the phase's result, the longest stall of the GUI event loop (how
// late a 1 ms timer fires) and the peak resident memory. With --cold-start it instead reports
// the time from --since (ns since the epoch, taken before the process started) to the first
// paint of the window.

#include "AppSetup.h"
#include "DeviceInfo.h"
#include "DeviceRecords.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "QMXStyle.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

SEARCH_INFO report(int n, int opt, int generation)
{
    SEARCH_INFO info{};
    info.opt = opt;
    DEVICE_INFO& d = info.devInfo;
    char text[32];
    std::snprintf(text, sizeof text, "00:11:22:%02X:%02X:%02X", (n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
    CopyText(d.mac, text);
    std::snprintf(text, sizeof text, "10.%d.%d.%d", generation, (n >> 8) & 0xFF, n & 0xFF);
    CopyText(d.ipAddr, text);
    CopyText(d.mask, "255.0.0.0");
    CopyText(d.route, "10.0.0.1");
    const char* const types[] = {"QMX_IPC", "QMX_NVR", "QMX_DVR", "QMX_MDVR", "QMX_DECODER", "QMX_STORAGE"};
    CopyText(d.productSeries, types[n % 6]);
    std::snprintf(text, sizeof text, "Device-%d", n);
    CopyText(d.devName, text);
    CopyText(d.productModel, "IPC-4K-B");
    CopyText(d.softwareVer, "2.3.0beta130");
    CopyText(d.runningTime, std::to_string(90061 + n));
    d.dataPort = 6036 + n % 4;
    d.httpPort = 80;
    d.deviceActivated = n % 2;
    return info;
}

long peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Runs the event loop until done() holds, measuring the lateness of a 1 ms timer meanwhile.
struct Phase
{
    double seconds = 0;
    double longestStallMs = 0;
};

template <typename Done> Phase runUntil(Done done, const std::function<void()>& feed)
{
    Phase phase;
    QElapsedTimer clock;
    QElapsedTimer tick;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&]() {
        const double late = static_cast<double>(tick.nsecsElapsed()) / 1e6 - 1.0;
        phase.longestStallMs = std::max(phase.longestStallMs, late);
        tick.restart();
    });
    clock.start();
    tick.start();
    timer.start(1);
    std::thread worker(feed);
    while (!done() && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    phase.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    worker.join();
    timer.stop();
    return phase;
}

int floodBench(const std::vector<int>& sizes)
{
    for (int devices : sizes) {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        auto* list = window.findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
        auto feed = [&window, devices](int opt, int generation) {
            return [&window, devices, opt, generation]() {
                for (int n = 0; n < devices; ++n) {
                    window.Update(report(n, opt, generation), nullptr);
                }
            };
        };
        const QString lastMac = QString::fromLatin1(report(devices - 1, 0, 0).devInfo.mac);
        const Phase found = runUntil([&]() { return list->topLevelItemCount() == devices; }, feed(0, 0));
        const Phase changed = runUntil(
            [&]() {
                const DeviceRowInfo* last = window.deviceRecords().find(lastMac);
                return last != nullptr && last->ipAddress.startsWith(QLatin1String("10.1."));
            },
            feed(2, 1));
        const Phase gone = runUntil([&]() { return list->topLevelItemCount() == 0; }, feed(1, 1));
        if (list->topLevelItemCount() != 0) {
            std::fprintf(stderr, "bench_mainwindow: %d rows left after the gone phase\n", list->topLevelItemCount());
        }
        std::printf("%5d devices: found %.3f s (stall %.1f ms), changed %.3f s (stall %.1f ms), "
                    "gone %.3f s (stall %.1f ms), peak RSS %ld MB\n",
                    devices,
                    found.seconds,
                    found.longestStallMs,
                    changed.seconds,
                    changed.longestStallMs,
                    gone.seconds,
                    gone.longestStallMs,
                    peakRssMb());
    }
    return 0;
}

// Reports the time from `since` to the window's first paint, then ends.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(long long since)
        : m_since(since)
    {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::system_clock::now().time_since_epoch())
                                      .count();
            std::printf("cold start to the first painted window: %.0f ms\n", static_cast<double>(now - m_since) / 1e6);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    long long m_since;
    bool m_done = false;
};

} // namespace

int main(int argc, char* argv[])
{
    // The window adds a link-local route when it starts: never on the machine's own network.
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0) {
        std::fprintf(stderr, "bench_mainwindow: needs root for a private network namespace\n");
        return 1;
    }
    long long since = 0;
    std::vector<int> sizes{1000, 5000};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--cold-start" && i + 1 < argc) {
            since = std::atoll(argv[++i]);
        } else if (arg == "--devices" && i + 1 < argc) {
            sizes = {std::atoi(argv[++i])};
        }
    }
    if (since == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    AppSetup::installStyleSheet(app);
    AppSetup::installApplicationFont(LanguageSrc::chooseLanguageId());
    app.setStyle(new QMXStyle);
    if (since == 0) {
        return floodBench(sizes);
    }
    MainWindow window;
    FirstPaint firstPaint(since);
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
