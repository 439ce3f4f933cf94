#pragma once

#include "DeviceInfo.h"

#include <string>

class QString;

// One device report as the engine hands it to the window.
struct TestDevice
{
    std::string mac = "00:11:22:33:44:01";
    std::string type = "QMX_IPC";
    std::string ip = "192.168.1.64";
    int dataPort = 9008;
    int activation = 0;
    std::string runningTime = "3661";
    std::string softwareVer = "V2.1.0";
    std::string name = "Camera";

    SEARCH_INFO info(int opt) const;
};

// The MAC text of device number n, "00:11:22:33:HH:LL".
std::string testMac(int n);

// Moves the process into a network namespace of its own (root only, before any thread).
bool enterPrivateNetwork();
