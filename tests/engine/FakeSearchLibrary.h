#pragma once

// A recording stand-in for the search library: records every call with its arguments in
// order and keeps the registered callback, so a test can report devices as the library would.

#include <future>
#include <string>
#include <vector>

struct LibraryCall
{
    std::string name;
    // The interval of SCANIX_SEARCH_StartAuto, the option of SCANIX_SEARCH_Initial.
    int value = 0;
    void* user = nullptr;
    // The MAC bytes of the configuration calls, as "XX:XX:XX:XX:XX:XX".
    std::string mac;
    std::string xml;
};

class FakeSearchLibrary
{
public:
    // Forgets calls and callback, restores the defaults.
    static void Reset();
    static std::vector<LibraryCall> Calls();
    static std::vector<std::string> CallNames();
    static void ClearCalls();
    // Whether a callback is registered (between Initial and Quit).
    static bool Running();
    // The result SCANIX_SET_DevRestoreDefault returns.
    static void SetRestoreResult(int result);
    // What SCANIX_SEARCH_DroppedReports returns while a callback is registered.
    static void SetDroppedReports(long long count);

    // Calls the registered callback with a writable copy of mac, on the caller's thread.
    // Returns false when no callback is registered. mac comes back as the callback left it.
    static bool Deliver(std::string& mac, int kind, const char* xml);
    static bool Deliver(const char* mac, int kind, const char* xml);
    // The same on a thread of its own, as the real library reports.
    static std::future<bool> DeliverOnThread(std::string mac, int kind, std::string xml);
};
