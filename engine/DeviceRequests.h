#pragma once

#include "DeviceHttpClient.h"

// Result codes of SetNetworkParam besides the rule-check codes 1-8.
enum SetNetworkParamCode
{
    SETIP_OK = 0,
    SETIP_NO_ANSWER = 9,
    // The device refused, the HTTP port change failed, or the device is not known.
    SETIP_FAILED = 10,
    // Sent to a device that is not an IP camera: no answer is awaited.
    SETIP_NOT_AWAITED = 11
};

// The waits of the device requests; tests shorten them.
struct RequestTimings
{
    int answerWaitMs = 6000;
    int probeMs = 200;
    int retryPauseMs = 200;
    DeviceHttpTimeouts http;
};
