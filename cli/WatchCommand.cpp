// watch: periodic search, one line per found / gone / changed device until SIGINT or SIGTERM.
#include "Commands.h"
#include "Console.h"
#include "DeviceView.h"
#include "ExitCode.h"
#include "Listing.h"
#include "SafeText.h"
#include "SearchSession.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <ctime>
#include <iostream>
#include <map>
#include <pthread.h>
#include <thread>

namespace {

constexpr auto kDroppedWarningGap = std::chrono::seconds(5);

// Fields that change on their own at every answer and so are no news.
bool IsClockField(const std::string& field)
{
    return field == "runningTime" || field == "runningSeconds" || field == "bootTime" || field == "conflict";
}

std::string Timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

class WatchPrinter
{
public:
    explicit WatchPrinter(bool jsonLines)
        : m_jsonLines(jsonLines)
    {}

    void Print(const SEARCH_INFO& info)
    {
        const std::string mac = info.devInfo.mac;
        const auto known = m_devices.find(mac);
        if (info.opt == SEARCH_OPT_FOUND) {
            m_devices[mac] = info.devInfo;
            Line("found", info.devInfo, nlohmann::ordered_json::object());
        } else if (info.opt == SEARCH_OPT_GONE) {
            // The report carries only the MAC: show what was known of the device.
            const DEVICE_INFO last = known != m_devices.end() ? known->second : info.devInfo;
            m_devices.erase(mac);
            Line("gone", last, nlohmann::ordered_json::object());
        } else if (info.opt == SEARCH_OPT_CHANGED) {
            nlohmann::ordered_json changes = nlohmann::ordered_json::object();
            if (known != m_devices.end()) {
                changes = Differences(known->second, info.devInfo);
            }
            m_devices[mac] = info.devInfo;
            Line("changed", info.devInfo, changes);
        }
        std::cout.flush();
    }

private:
    static nlohmann::ordered_json Differences(const DEVICE_INFO& before, const DEVICE_INFO& after)
    {
        DeviceView a, b;
        a.device = before;
        b.device = after;
        const nlohmann::ordered_json old = DeviceJson(a), now = DeviceJson(b);
        nlohmann::ordered_json changes = nlohmann::ordered_json::object();
        for (const auto& item : now.items()) {
            if (!IsClockField(item.key()) && old[item.key()] != item.value()) {
                changes[item.key()] = {{"old", old[item.key()]}, {"new", item.value()}};
            }
        }
        return changes;
    }

    void Line(const char* event, const DEVICE_INFO& device, const nlohmann::ordered_json& changes) const
    {
        DeviceView view;
        view.device = device;
        if (m_jsonLines) {
            nlohmann::ordered_json line;
            line["time"] = Timestamp();
            line["event"] = event;
            line["mac"] = device.mac;
            line["device"] = DeviceJson(view);
            if (std::string(event) == "changed") {
                line["changes"] = changes;
            }
            std::cout << JsonText(line) << '\n';
            return;
        }
        std::string text = Timestamp() + "  " + event + "  " + device.mac + "  " + device.ipAddr + "  " +
                           DeviceTypeName(device.productSeries) + "  " + device.devName;
        for (const auto& item : changes.items()) {
            text += "  " + item.key() + ": " + JsonText(item.value()["old"]) + " -> " + JsonText(item.value()["new"]);
        }
        std::cout << PrintableText(text) << '\n';
    }

    bool m_jsonLines;
    std::map<std::string, DEVICE_INFO> m_devices;
};

} // namespace

int RunWatch(const GlobalOptions& global, const WatchOptions& options)
{
    // Blocked before the library starts its thread, which inherits the mask: the signals then
    // reach only the waiting thread below, which ends the watch cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SearchSession session(global.interfaces);
    std::atomic<bool> stop{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        stop = true;
        session.Wake();
    });
    session.Manager().SetAutoInterval(options.interval);
    Message("watching every " + std::to_string(options.interval) + " s; stop with Ctrl+C");
    WatchPrinter printer(options.format == "jsonl");
    long long dropped = 0;
    auto nextWarning = std::chrono::steady_clock::now();
    while (!stop) {
        for (const SEARCH_INFO& info : session.TakeEvents(std::chrono::milliseconds(500))) {
            printer.Print(info);
        }
        // A full device table drops new devices without an event of their own; said at most
        // every few seconds while a flood lasts.
        const long long count = session.Manager().GetDroppedReports();
        if (count > dropped && std::chrono::steady_clock::now() >= nextWarning) {
            Message("warning: " + std::to_string(count) +
                    " device reports dropped so far: too many devices answered, devices may be missing");
            dropped = count;
            nextWarning = std::chrono::steady_clock::now() + kDroppedWarningGap;
        }
    }
    waiter.join();
    session.Stop();
    // What arrived before the library stopped is still reported.
    for (const SEARCH_INFO& info : session.TakeEvents(std::chrono::milliseconds(0))) {
        printer.Print(info);
    }
    Message("stopped");
    return EXIT_OK;
}
