// scanix-cli: the command-line companion of Scanix, on the same engine and search library.
#include "Commands.h"
#include "ExitCode.h"
#include "Interfaces.h"
#include "SafeText.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>

#include <CLI/CLI.hpp>

namespace {

const char kInterfacesHelp[] = "Search only these interfaces (names separated by commas)";

// "nan" passes a range check (every comparison with it is false) and would wait for ever.
const CLI::Validator kFinite(
    [](std::string& text) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        return end != text.c_str() && *end == '\0' && std::isfinite(value) ? std::string()
                                                                           : std::string("not a finite number");
    },
    "FINITE");

void AddSeconds(CLI::App* command, double& seconds, const char* what)
{
    command->add_option("--seconds", seconds, what)
        ->check(kFinite)
        ->check(CLI::Range(0.1, 600.0))
        ->capture_default_str();
}

// CLI11 quotes the offending argument whole: bounded and printable here.
std::string FailureMessage(const CLI::App*, const CLI::Error& error)
{
    return EchoText(error.what(), 240) + "\nRun with --help for more information.\n";
}

void AddDeviceCommands(CLI::App& app, GlobalOptions& global, std::function<int()>& run)
{
    static DeviceOptions device;
    CLI::App* restore =
        app.add_subcommand("restore", "Restore a camera's or keyboard's password to the factory default");
    restore->add_option("MAC", device.mac, "The device's MAC address")->required();
    AddSeconds(restore, device.seconds, "How long to search for the device");
    restore->callback([&] { run = [&] { return RunRestore(global, device); }; });

    static ActivateOptions activate;
    CLI::App* activating = app.add_subcommand("activate", "Give a device that is not activated its first password");
    activating->add_option("MAC", activate.mac, "The device's MAC address")->required();
    activating->add_flag(
        "--password-stdin", activate.passwordStdin, "Read the new password from the first line of stdin");
    AddSeconds(activating, activate.seconds, "How long to search for the device");
    activating->callback([&] { run = [&] { return RunActivate(global, activate); }; });

    for (const bool open : {false, true}) {
        CLI::App* command = app.add_subcommand(open ? "open" : "url",
                                               open ? "Open the device's web page with the desktop's opener"
                                                    : "Print the device's web address");
        command->add_option("MAC", device.mac, "The device's MAC address")->required();
        AddSeconds(command, device.seconds, "How long to search for the device");
        command->callback([&, open] { run = [&, open] { return RunUrl(global, device, open); }; });
    }
}

void AddChangeCommands(CLI::App& app, GlobalOptions& global, std::function<int()>& run)
{
    static SetIpOptions set;
    CLI::App* setIp = app.add_subcommand("set-ip", "Change one device's IPv4 address, mask, gateway (and ports)");
    setIp->add_option("MAC", set.mac, "The device's MAC address")->required();
    setIp->add_option("--ip", set.ip, "New IPv4 address")->required();
    setIp->add_option("--mask", set.mask, "New subnet mask")->required();
    setIp->add_option("--gateway", set.gateway, "New gateway")->required();
    setIp->add_option("--http-port", set.httpPort, "New HTTP port (with --data-port)");
    setIp->add_option("--data-port", set.dataPort, "New data port (with --http-port)");
    setIp->add_flag("--password-stdin", set.passwordStdin, "Read the device password from the first line of stdin");
    AddSeconds(setIp, set.seconds, "How long to search for the device");
    setIp->callback([&] { run = [&] { return RunSetIp(global, set); }; });

    static BatchOptions batch;
    CLI::App* batchIp = app.add_subcommand("batch-ip", "Change the addresses of the devices listed in a CSV file");
    batchIp->add_option("FILE", batch.file, "CSV of mac,ip,mask,gateway[,password] rows, or - for stdin")->required();
    batchIp->add_flag("--password-stdin", batch.passwordStdin, "Read the password from the first line of stdin");
    batchIp->add_flag("--keep-going", batch.keepGoing, "Apply the good rows even when others fail the checks");
    batchIp->add_flag("--dry-run", batch.dryRun, "Check the rows, print them and change nothing");
    batchIp->add_option("--format", batch.format, "Result format")
        ->check(CLI::IsMember({"table", "json"}))
        ->capture_default_str();
    AddSeconds(batchIp, batch.seconds, "How long to search for the listed devices");
    batchIp->callback([&] { run = [&] { return RunBatchIp(global, batch); }; });

    static AssignOptions assign;
    CLI::App* assigning = app.add_subcommand("assign", "Give the matching devices the free addresses of a range");
    assigning->add_option("--from", assign.from, "First address of the range")->required();
    assigning->add_option("--to", assign.to, "Last address of the range")->required();
    assigning->add_option("--mask", assign.mask, "New subnet mask (default: each device's own)");
    assigning->add_option("--gateway", assign.gateway, "New gateway (default: each device's own)");
    assigning->add_option("--type", assign.type, "Only devices of this type (IPC, NVR, ... or QMX_IPC, ...)");
    assigning->add_option("--only-ip", assign.onlyIp, "Only devices that now have this address");
    assigning->add_flag("--dry-run", assign.dryRun, "Print the plan and change nothing");
    assigning->add_flag("--password-stdin", assign.passwordStdin, "Read the password from the first line of stdin");
    assigning->add_option("--format", assign.format, "Result format")
        ->check(CLI::IsMember({"table", "json"}))
        ->capture_default_str();
    AddSeconds(assigning, assign.seconds, "How long to search before planning");
    assigning->callback([&] { run = [&] { return RunAssign(global, assign); }; });
}

void AddListCommands(CLI::App& app, GlobalOptions& global, std::function<int()>& run)
{
    static ScanOptions scan;
    CLI::App* command = app.add_subcommand("scan", "Search once and list the devices, sorted by IPv4 address");
    AddSeconds(command, scan.seconds, "How long to wait for answers");
    command->add_option("--format", scan.format, "Output format")
        ->check(CLI::IsMember({"table", "json", "csv"}))
        ->capture_default_str();
    command->add_option("--columns", scan.columns, "Fields to show, separated by commas (see docs/cli.md)")
        ->delimiter(',');
    command->callback([&] { run = [&] { return RunScan(global, scan); }; });

    static WatchOptions watch;
    CLI::App* watching = app.add_subcommand("watch", "Search periodically and print every change until stopped");
    watching->add_option("--interval", watch.interval, "Seconds between searches")
        ->check(CLI::IsMember({5, 10, 30}))
        ->capture_default_str();
    watching->add_option("--format", watch.format, "Output format")
        ->check(CLI::IsMember({"text", "jsonl"}))
        ->capture_default_str();
    watching->callback([&] { run = [&] { return RunWatch(global, watch); }; });
}

void AddOfflineCommands(CLI::App& app, std::function<int()>& run)
{
    static std::string hostFormat = "table";
    CLI::App* host = app.add_subcommand("host", "Show the host's IPv4 address, mask, gateway and DNS server");
    host->add_option("--format", hostFormat, "Output format")
        ->check(CLI::IsMember({"table", "json"}))
        ->capture_default_str();
    host->callback([&] { run = [&] { return RunHost(hostFormat); }; });

    static std::string ip, mask, gateway;
    CLI::App* check = app.add_subcommand("check", "Check an address, mask and gateway against the addressing rules");
    check->add_option("IP", ip, "IPv4 address")->required();
    check->add_option("MASK", mask, "Subnet mask")->required();
    check->add_option("GATEWAY", gateway, "Gateway")->required();
    check->callback([&] { run = [&] { return RunCheck(ip, mask, gateway); }; });
}

void AddDoctor(CLI::App& app, GlobalOptions& global, std::function<int()>& run)
{
    static DoctorOptions doctor;
    CLI::App* command = app.add_subcommand("doctor", "Explain why devices may not be found");
    AddSeconds(command, doctor.seconds, "How long the live search lasts in all");
    command->callback([&] { run = [&] { return RunDoctor(global, doctor); }; });
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"scanix-cli: find the maker's video devices on the local network and change their addresses"};
    app.name("scanix-cli");
    app.require_subcommand(1);
    app.failure_message(FailureMessage);
    GlobalOptions global;
    app.add_option("--iface", global.interfaces, kInterfacesHelp);
    std::function<int()> run;
    AddListCommands(app, global, run);
    AddOfflineCommands(app, run);
    AddChangeCommands(app, global, run);
    AddDeviceCommands(app, global, run);
    AddDoctor(app, global, run);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? EXIT_OK : EXIT_USAGE;
    }
    const std::string command = app.get_subcommands().empty() ? "" : app.get_subcommands().front()->get_name();
    // A mistyped interface would search nothing and report an empty network; doctor explains it instead.
    if (!global.interfaces.empty() && command != "doctor" && command != "host" && command != "check" &&
        scanix::proto::ListMulticastInterfaces(global.interfaces).empty()) {
        std::cerr << "scanix-cli: --iface " << EchoText(global.interfaces)
                  << ": no interface of that name is up, multicast-capable and has an IPv4 address\n";
        return EXIT_USAGE;
    }
    return run ? run() : EXIT_USAGE;
}
