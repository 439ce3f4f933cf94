// restore, url and open: requests about one device found by its MAC.
#include "Addressing.h"
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "Messages.h"
#include "SafeText.h"
#include "SearchSession.h"
#include "SpawnDetached.h"
#include "WebLauncher.h"

#include <cstring>
#include <iostream>

namespace {

constexpr int kProbeMs = 200;

// Searches until the device answers; prints why not and gives the exit code otherwise.
int FindOne(SearchSession& session, const std::string& text, double seconds, DEVICE_INFO& device)
{
    const std::optional<std::string> mac = NormaliseMac(text);
    if (!mac) {
        Message("MAC \"" + EchoText(text) + "\" is not a MAC address (six hexadecimal pairs joined by colons)");
        return EXIT_USAGE;
    }
    session.SearchOnce();
    if (!session.WaitForDevice(*mac, DeadlineIn(seconds), device)) {
        Message(std::string(kMessageDeviceNotFound) + " (" + *mac + ", searched " + std::to_string(seconds) + " s)");
        return EXIT_NOT_FOUND;
    }
    return EXIT_OK;
}

} // namespace

int RunRestore(const GlobalOptions& global, const DeviceOptions& options)
{
    if (!NormaliseMac(options.mac)) {
        Message("MAC \"" + EchoText(options.mac) + "\" is not a MAC address (six hexadecimal pairs joined by colons)");
        return EXIT_USAGE;
    }
    SearchSession session(global.interfaces);
    DEVICE_INFO device{};
    const int found = FindOne(session, options.mac, options.seconds, device);
    if (found != EXIT_OK) {
        return found;
    }
    // Only these types take a restore request; nothing is sent to the others.
    if (std::strcmp(device.productSeries, "QMX_IPC") != 0 &&
        std::strcmp(device.productSeries, "QMX_NETKEYBOARD") != 0) {
        Message(kMessageRestoreNotSupported);
        return EXIT_NOT_SUPPORTED;
    }
    const Outcome outcome = RestoreOutcome(session.Manager().RestoreDefault(device.mac));
    if (outcome.exit != EXIT_OK) {
        Message(outcome.message);
        return outcome.exit;
    }
    std::cout << outcome.message << '\n';
    return EXIT_OK;
}

int RunUrl(const GlobalOptions& global, const DeviceOptions& options, bool open)
{
    std::string url;
    {
        SearchSession session(global.interfaces);
        DEVICE_INFO device{};
        const int found = FindOne(session, options.mac, options.seconds, device);
        if (found != EXIT_OK) {
            return found;
        }
        const std::uint32_t address = ChooseDeviceAddress(device.ipAddr, device.ipAddr2, device.dataPort, kProbeMs);
        if (address == 0) {
            Message("the device reports no usable IPv4 address");
            return EXIT_DEVICE_FAILED;
        }
        url = FormatDeviceUrl(address, device.httpPort, device.httpType);
    }
    std::cout << url << '\n';
    if (open && !SpawnDetached({"xdg-open", url})) {
        Message("could not start xdg-open to open " + url);
        return EXIT_FAILURE_OTHER;
    }
    return EXIT_OK;
}
