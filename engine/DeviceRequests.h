#pragma once

#include "DeviceHttpClient.h"

#include <string>

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

// What the search library said about the last configuration request beyond its result: why a
// refusal came, and what an authenticated answer confirmed (the device's address and web
// interface, with the pin of its TLS key). Unauthenticated answers confirm nothing.
struct ConfigAnswerInfo
{
    bool authenticated = false;
    std::string reason;
    std::string confirmedIp;
    int httpType = 0;
    int httpPort = 0;
    int dataPort = 0;
    std::string tlsKey;
};

// Reads the answer document the library hands over with kind 10000.
ConfigAnswerInfo ReadConfigAnswer(const char* xml);
