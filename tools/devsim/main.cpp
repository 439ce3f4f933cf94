// scanix-devsim: a fleet of simulated devices speaking the discovery protocol. Run it only
// inside a private network namespace (tools/netns/netns.sh), never on a real network.

#include "DeviceHttpServer.h"
#include "DeviceSimulator.h"
#include "Fleet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: scanix-devsim [options]\n"
    "  --count N         devices of the maker's types, the seven types in turn (default 7)\n"
    "  --foreign N       devices of foreign series, to be refused by the program (default 0)\n"
    "  --types LIST      comma-separated types to cycle through instead of all seven\n"
    "  --seed S          varies MACs, versions and times (0..255; default 1)\n"
    "  --first-ip A      address of the first device (default 192.168.1.64)\n"
    "  --prefix P        subnet prefix length (default 24)\n"
    "  --gateway A       gateway of every device (default: first host of the subnet)\n"
    "  --fleet FILE      devices from FILE, one per line as key=value pairs\n"
    "  --ifaces LIST     only these interfaces (default: every multicast IPv4 interface)\n"
    "  --max-delay MS    longest random answer delay (default 1000; the probe may ask less;\n"
    "                    a device never answers a round within less than 250 ms)\n"
    "  --delay MS        added to every answer (default 0)\n"
    "  --drop SHARE      drop this share of outgoing datagrams (0..1)\n"
    "  --malformed SHARE send this share of replies damaged (0..1)\n"
    "  --oversize SHARE  send this share of replies padded beyond the largest datagram (0..1)\n"
    "  --no-hello        do not announce devices at start\n"
    "  --no-bye          do not say bye on exit\n"
    "  --legacy          every device speaks only the old protocol (password in clear)\n"
    "  --log FILE        log to FILE instead of standard error ('-' for none)\n"
    "  --verbose         log every reply\n"
    "  --allow-host-network  run even in the network namespace of process 1 (not advised)\n"
    "  --http            serve each device's configuration interface (HTTP, Basic admin:password)\n"
    "                    on its address and HTTP port, and accept connections on its data port\n"
    "                    and its web page at / (over HTTPS where the device reports HTTPS)\n"
    "  --http-delay MS   every HTTP answer waits MS first\n"
    "  --http-silent     read HTTP requests, never answer\n"
    "  --http-no-length  HTTP answers without Content-Length\n"
    "  --http-huge-length HTTP answers announce 100000000 bytes, send a few, then go quiet\n"
    "  --http-closed-data-port  refuse connections on the data ports\n"
    "Standard input takes commands: off|mute|on|announce|button MAC|all, set MAC key=value..., stats, quit.\n";

// The simulator multicasts on every interface it sees: in the namespace of process 1 (the
// machine's own network, unless the caller made a private one) it must not run at all.
bool InHostNetwork()
{
    char own[64] = {};
    char host[64] = {};
    const ssize_t ownLength = readlink("/proc/self/ns/net", own, sizeof own - 1);
    const ssize_t hostLength = readlink("/proc/1/ns/net", host, sizeof host - 1);
    // Unknown counts as the host's: refusing is the safe answer.
    return ownLength <= 0 || hostLength <= 0 || std::strcmp(own, host) == 0;
}

bool Number(const char* text, double low, double high, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return *text != '\0' && *end == '\0' && out >= low && out <= high;
}

} // namespace

int main(int argc, char** argv)
{
    FleetPlan plan;
    SimOptions options;
    bool allowHostNetwork = false;
    std::string fleetFile;
    std::string logFile;
    bool http = false;
    bool legacy = false;
    HttpFaultOptions httpFaults;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : "";
        double n = 0;
        bool ok = true;
        bool takesValue = true;
        if (arg == "--count") {
            ok = Number(value, 0, 65000, n) && (plan.count = static_cast<int>(n), true);
        } else if (arg == "--foreign") {
            ok = Number(value, 0, 65000, n) && (plan.foreign = static_cast<int>(n), true);
        } else if (arg == "--types") {
            plan.types = value;
        } else if (arg == "--seed") {
            ok = Number(value, 0, 255, n) && (plan.seed = options.seed = static_cast<unsigned>(n), true);
        } else if (arg == "--first-ip") {
            plan.firstIp = value;
        } else if (arg == "--prefix") {
            ok = Number(value, 1, 30, n) && (plan.prefix = static_cast<int>(n), true);
        } else if (arg == "--gateway") {
            plan.gateway = value;
        } else if (arg == "--fleet") {
            fleetFile = value;
        } else if (arg == "--ifaces") {
            options.interfaces = value;
        } else if (arg == "--max-delay") {
            ok = Number(value, 0, 5000, n) && (options.maxDelayMs = static_cast<int>(n), true);
        } else if (arg == "--delay") {
            ok = Number(value, 0, 60000, n) && (options.extraDelayMs = static_cast<int>(n), true);
        } else if (arg == "--drop") {
            ok = Number(value, 0, 1, options.dropShare);
        } else if (arg == "--malformed") {
            ok = Number(value, 0, 1, options.malformedShare);
        } else if (arg == "--oversize") {
            ok = Number(value, 0, 1, options.oversizeShare);
        } else if (arg == "--http-delay") {
            ok = Number(value, 0, 60000, n) && (httpFaults.delayMs = static_cast<int>(n), true);
        } else if (arg == "--log") {
            logFile = value;
        } else {
            takesValue = false;
            if (arg == "--no-hello") {
                options.hello = false;
            } else if (arg == "--no-bye") {
                options.byeOnExit = false;
            } else if (arg == "--legacy") {
                legacy = true;
            } else if (arg == "--verbose") {
                options.verbose = true;
            } else if (arg == "--allow-host-network") {
                allowHostNetwork = true;
            } else if (arg == "--http") {
                http = true;
            } else if (arg == "--http-silent") {
                httpFaults.silent = true;
            } else if (arg == "--http-no-length") {
                httpFaults.noLength = true;
            } else if (arg == "--http-huge-length") {
                httpFaults.hugeLength = true;
            } else if (arg == "--http-closed-data-port") {
                httpFaults.closedDataPort = true;
            } else {
                std::fprintf(
                    stderr, "%s", arg == "--help" ? "" : ("scanix-devsim: unknown option " + arg + "\n").c_str());
                std::fprintf(stderr, "%s", kUsage);
                return arg == "--help" ? 0 : 2;
            }
        }
        if (takesValue && (!hasValue || !ok)) {
            std::fprintf(stderr, "scanix-devsim: bad or missing value for %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
        i += takesValue ? 1 : 0;
    }

    if (!allowHostNetwork && InHostNetwork()) {
        std::fprintf(stderr,
                     "scanix-devsim: refusing to run in the machine's own network namespace; "
                     "start it inside tools/netns/netns.sh's namespaces\n");
        return 3;
    }
    Fleet fleet;
    std::string error;
    if (!(fleetFile.empty() ? fleet.Generate(plan, error) : fleet.Load(fleetFile, plan, error))) {
        std::fprintf(stderr, "scanix-devsim: %s\n", error.c_str());
        return 2;
    }
    if (legacy) {
        std::lock_guard<std::mutex> lock(fleet.Lock());
        for (SimDevice& d : fleet.Devices()) {
            d.legacy = true;
        }
    }
    std::FILE* log = stderr;
    if (logFile == "-") {
        log = nullptr;
    } else if (!logFile.empty() && (log = std::fopen(logFile.c_str(), "a")) == nullptr) {
        std::fprintf(stderr, "scanix-devsim: cannot open log %s: %s\n", logFile.c_str(), std::strerror(errno));
        return 2;
    }
    DeviceSimulator simulator(fleet, options, log);
    if (!simulator.Open(error)) {
        std::fprintf(stderr, "scanix-devsim: %s\n", error.c_str());
        return 1;
    }
    if (!http) {
        return simulator.Run();
    }
    {
        std::lock_guard<std::mutex> lock(fleet.Lock());
        for (SimDevice& d : fleet.Devices()) {
            d.portsOverHttpOnly = d.series == "QMX_IPC";
        }
    }
    DeviceHttpServer server(
        fleet, httpFaults, [&simulator](const std::string& mac) { simulator.RequestAnnounce(mac); }, log);
    simulator.OnConfigured([&server](const std::string& mac) { server.Refresh(mac); });
    server.Start();
    const int status = simulator.Run();
    server.Stop();
    return status;
}
