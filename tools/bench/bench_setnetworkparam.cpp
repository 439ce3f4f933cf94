// Round trip of SetNetworkParam for a simulated IP camera, without and with a port change,
// in a private topology (run as root). Prints min / median / p90 / max in milliseconds.
#include "CScanixManage.h"
#include "PrivateNetwork.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace scanix::test;
using Clock = std::chrono::steady_clock;

const char kPassword[] = "Admin123";

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds wait = std::chrono::seconds(5))
{
    const auto deadline = Clock::now() + wait;
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Report(const char* what, std::vector<double> ms, int failures)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) {
        std::printf("%-34s no successful run (%d failures)\n", what, failures);
        return;
    }
    std::printf("%-34s n=%zu  min %.1f  median %.1f  p90 %.1f  max %.1f ms  (%d failures)\n",
                what,
                ms.size(),
                ms.front(),
                ms[ms.size() / 2],
                ms[ms.size() * 9 / 10],
                ms.back(),
                failures);
}

int Bench(int runs)
{
    TestNetwork net(1);
    if (!net.Ok()) {
        std::fprintf(stderr, "bench: cannot build the test network\n");
        return 1;
    }
    const std::string lan1 = net.Namespace("lan1");
    std::system(("ip -n " + lan1 + " addr add 10.0.0.64/24 dev eth0").c_str());
    if (!net.EnterPc()) {
        return 1;
    }
    Simulator sim(lan1,
                  {"--max-delay",
                   "50",
                   "--no-hello",
                   "--count",
                   "1",
                   "--seed",
                   "1",
                   "--first-ip",
                   "10.0.0.64",
                   "--http",
                   "--log",
                   "-"});
    if (!sim.Ready()) {
        std::fprintf(stderr, "bench: the simulator did not start\n");
        return 1;
    }
    const std::string mac = SimMac(1, 0);
    CScanixManage manage;
    manage.Init();
    manage.Refresh(true);
    auto device = [&] {
        DEVICE_INFO d{};
        manage.FindDevice(mac.c_str(), d);
        return d;
    };
    if (!WaitUntil([&] { return device().mac[0] != '\0'; })) {
        std::fprintf(stderr, "bench: the camera was not found\n");
        return 1;
    }

    std::vector<double> plain, ports;
    int plainFailures = 0, portFailures = 0;
    for (int i = 0; i < runs; ++i) {
        const char* gateway = i % 2 == 0 ? "10.0.0.2" : "10.0.0.1";
        const auto start = Clock::now();
        const int code =
            manage.SetNetworkParam(mac.c_str(), "10.0.0.64", "255.255.255.0", gateway, kPassword, "", "", false);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        code == 0 ? plain.push_back(took.count()) : void(++plainFailures);
        if (!WaitUntil([&] { return std::string(device().route) == gateway; })) {
            ++plainFailures;
        }
    }
    for (int i = 0; i < runs; ++i) {
        const int http = i % 2 == 0 ? 8081 : 8082;
        const int data = i % 2 == 0 ? 6100 : 6101;
        const auto start = Clock::now();
        const int code = manage.SetNetworkParam(mac.c_str(),
                                                "10.0.0.64",
                                                "255.255.255.0",
                                                "10.0.0.1",
                                                kPassword,
                                                std::to_string(http).c_str(),
                                                std::to_string(data).c_str(),
                                                false);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        code == 0 ? ports.push_back(took.count()) : void(++portFailures);
        // The next change starts from the ports the camera announced.
        if (!WaitUntil([&] { return device().httpPort == http && device().dataPort == data; })) {
            ++portFailures;
        }
    }
    manage.Quit();
    Report("SetNetworkParam without port change", plain, plainFailures);
    Report("SetNetworkParam with port change", ports, portFailures);
    return plainFailures + portFailures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    EnterPrivateNamespaces(argc, argv);
    if (!PrivateNamespaceProblem().empty()) {
        std::fprintf(stderr, "bench: %s\n", PrivateNamespaceProblem().c_str());
        return 1;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    return Bench(runs);
}
