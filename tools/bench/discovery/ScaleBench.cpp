// scanix-bench-scale: times one search over a large simulated fleet. Run it only through
// tools/bench/scale.sh, which puts it in the pc namespace of a private test network.
//
//   scanix-bench-scale EXPECTED [OPTION] [TIMEOUT_MS]
//
// Prints the time from the search request to the last "found" callback, devices found and
// lost, datagrams in and out of this namespace (its own UDP counters), and this process's CPU
// time and peak memory (getrusage; the library thread is the only busy one).

#include "Scanix_Search.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct State
{
    std::mutex mutex;
    std::set<std::string> macs;
    Clock::time_point last;
    std::atomic<int> found{0};
    std::atomic<int> other{0};
};

int Callback(char* mac, int kind, const char*, void* user)
{
    auto* state = static_cast<State*>(user);
    if (kind != SCANIX_KIND_FOUND) {
        ++state->other;
        return 0;
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->macs.insert(mac).second) {
        state->last = Clock::now();
        ++state->found;
    }
    return 0;
}

// The namespace's UDP counters: OutDatagrams, InDatagrams, RcvbufErrors.
struct Udp
{
    long long out = 0;
    long long in = 0;
    long long rcvbufErrors = 0;
};

Udp ReadUdp()
{
    std::ifstream snmp("/proc/net/snmp");
    std::string header;
    std::string values;
    Udp udp;
    for (std::string line; std::getline(snmp, line);) {
        if (line.rfind("Udp: ", 0) == 0) {
            if (header.empty()) {
                header = line;
            } else {
                values = line;
            }
        }
    }
    std::istringstream names(header);
    std::istringstream numbers(values);
    std::string name;
    std::string number;
    while (names >> name && numbers >> number) {
        if (name == "OutDatagrams") {
            udp.out = std::atoll(number.c_str());
        } else if (name == "InDatagrams") {
            udp.in = std::atoll(number.c_str());
        } else if (name == "RcvbufErrors") {
            udp.rcvbufErrors = std::atoll(number.c_str());
        }
    }
    return udp;
}

double CpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: scanix-bench-scale EXPECTED [OPTION] [TIMEOUT_MS]\n");
        return 2;
    }
    const int expected = std::atoi(argv[1]);
    const int option = argc > 2 ? std::atoi(argv[2]) : 96;
    const int timeoutMs = argc > 3 ? std::atoi(argv[3]) : 5000;

    State state;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    if (SCANIX_SEARCH_Initial(&Callback, &state, option) != 0) {
        std::fprintf(stderr, "bench: the library did not start\n");
        return 1;
    }
    // Let the thread open its sockets, so the clock measures the search alone.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const Udp udpBefore = ReadUdp();
    const Clock::time_point start = Clock::now();
    SCANIX_SEARCH_Manual();
    const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
    while (state.found < expected && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The remaining probe copies and their answers, so the counts cover the whole search.
    std::this_thread::sleep_until(std::max(Clock::now(), start + std::chrono::milliseconds(option * 10 + 700)));
    SCANIX_SEARCH_Quit();
    const Udp udpAfter = ReadUdp();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    std::lock_guard<std::mutex> lock(state.mutex);
    const double lastMs = state.found > 0 ? std::chrono::duration<double, std::milli>(state.last - start).count() : 0;
    std::printf("devices expected            %d\n", expected);
    std::printf("devices found               %d\n", state.found.load());
    std::printf("devices lost                %d\n", expected - state.found.load());
    std::printf("other callbacks             %d\n", state.other.load());
    std::printf("reply spread (ms)           %d\n", option * 10);
    std::printf("first probe -> last found   %.1f ms\n", lastMs);
    std::printf("datagrams sent by library   %lld\n", udpAfter.out - udpBefore.out);
    std::printf("datagrams received          %lld\n", udpAfter.in - udpBefore.in);
    std::printf("receive buffer drops        %lld\n", udpAfter.rcvbufErrors - udpBefore.rcvbufErrors);
    std::printf("library CPU time            %.1f ms\n", (CpuSeconds(after) - CpuSeconds(before)) * 1000);
    std::printf("peak resident memory        %ld KiB\n", after.ru_maxrss);
    return state.found == expected ? 0 : 1;
}
