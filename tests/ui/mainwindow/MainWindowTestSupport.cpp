#include "MainWindowTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <unistd.h>

SEARCH_INFO TestDevice::info(int opt) const
{
    SEARCH_INFO report{};
    report.opt = opt;
    DEVICE_INFO& device = report.devInfo;
    CopyText(device.mac, mac);
    CopyText(device.productSeries, type);
    CopyText(device.ipAddr, ip);
    CopyText(device.mask, "255.255.255.0");
    CopyText(device.route, "192.168.1.1");
    CopyText(device.devName, name);
    CopyText(device.productModel, "IPC-4K-B");
    CopyText(device.softwareVer, softwareVer);
    CopyText(device.runningTime, runningTime);
    device.dataPort = dataPort;
    device.httpPort = 80;
    device.deviceActivated = activation;
    return report;
}

std::string testMac(int n)
{
    char text[18];
    std::snprintf(text, sizeof text, "00:11:22:33:%02X:%02X", (n >> 8) & 0xFF, n & 0xFF);
    return text;
}

bool enterPrivateNetwork()
{
    if (geteuid() != 0 || unshare(CLONE_NEWNET) != 0) {
        return false;
    }
    return std::system("ip link set lo up >/dev/null 2>&1") == 0;
}
