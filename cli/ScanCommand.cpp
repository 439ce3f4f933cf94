// scan: one search, then the devices sorted by address.
#include "Commands.h"
#include "Console.h"
#include "ExitCode.h"
#include "Listing.h"
#include "SearchSession.h"

#include <iostream>
#include <thread>

int RunScan(const GlobalOptions& global, const ScanOptions& options)
{
    const std::string problem = CheckColumns(options.columns);
    if (!problem.empty()) {
        Message(problem);
        return EXIT_USAGE;
    }
    const auto deadline = DeadlineIn(options.seconds);
    std::vector<DEVICE_INFO> devices;
    long long dropped = 0;
    {
        SearchSession session(global.interfaces);
        session.SearchOnce();
        std::this_thread::sleep_until(deadline);
        devices = session.Manager().Devices();
        dropped = session.Manager().GetDroppedReports();
    }
    const std::vector<DeviceView> views = PrepareListing(devices);
    for (const std::string& group : ConflictGroups(views)) {
        Message("warning: devices share one IPv4 address " + group);
    }
    PrintListing(std::cout, views, options.format, options.columns);
    std::cout.flush();
    Message(std::to_string(views.size()) + (views.size() == 1 ? " device" : " devices") + " found");
    if (dropped > 0) {
        // A flood of invented devices (or a segment larger than the library's table) must not
        // pass for the whole picture.
        Message("warning: " + std::to_string(dropped) + (dropped == 1 ? " device report" : " device reports") +
                " dropped: too many devices answered, the list is incomplete");
    }
    return std::cout ? EXIT_OK : EXIT_FAILURE_OTHER;
}
