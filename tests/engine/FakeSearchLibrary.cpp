#include "FakeSearchLibrary.h"

#include "Scanix_Search.h"

#include <cstdio>
#include <mutex>

namespace {

struct State
{
    std::mutex mutex;
    // Held while a callback runs, so Quit returns only when none can still be running.
    std::mutex delivery;
    std::vector<LibraryCall> calls;
    SCANIX_SEARCH_CALLBACK callback = nullptr;
    void* user = nullptr;
    int restoreResult = 1;
    long long droppedReports = 0;
};

State& state()
{
    static State s;
    return s;
}

void record(LibraryCall call)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls.push_back(std::move(call));
}

std::string macText(const unsigned char* mac)
{
    if (mac == nullptr) {
        return "(null)";
    }
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

} // namespace

void FakeSearchLibrary::Reset()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls.clear();
    state().callback = nullptr;
    state().user = nullptr;
    state().restoreResult = 1;
    state().droppedReports = 0;
}

std::vector<LibraryCall> FakeSearchLibrary::Calls()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().calls;
}

std::vector<std::string> FakeSearchLibrary::CallNames()
{
    std::vector<std::string> names;
    for (const LibraryCall& call : Calls()) {
        names.push_back(call.name);
    }
    return names;
}

void FakeSearchLibrary::ClearCalls()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().calls.clear();
}

bool FakeSearchLibrary::Running()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().callback != nullptr;
}

void FakeSearchLibrary::SetRestoreResult(int result)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().restoreResult = result;
}

void FakeSearchLibrary::SetDroppedReports(long long count)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().droppedReports = count;
}

bool FakeSearchLibrary::Deliver(std::string& mac, int kind, const char* xml)
{
    std::lock_guard<std::mutex> delivering(state().delivery);
    SCANIX_SEARCH_CALLBACK callback;
    void* user;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        callback = state().callback;
        user = state().user;
    }
    if (callback == nullptr) {
        return false;
    }
    // The callback may write into the text (it upper-cases it), so it gets its own buffer.
    std::vector<char> buffer(mac.begin(), mac.end());
    buffer.push_back('\0');
    callback(buffer.data(), kind, xml, user);
    mac.assign(buffer.data());
    return true;
}

bool FakeSearchLibrary::Deliver(const char* mac, int kind, const char* xml)
{
    std::string text(mac);
    return Deliver(text, kind, xml);
}

std::future<bool> FakeSearchLibrary::DeliverOnThread(std::string mac, int kind, std::string xml)
{
    return std::async(std::launch::async, [mac, kind, xml]() mutable { return Deliver(mac, kind, xml.c_str()); });
}

extern "C" {

int SCANIX_SEARCH_Initial(SCANIX_SEARCH_CALLBACK callback, void* user, int option)
{
    record({"Initial", option, user, {}, {}});
    // As the library: one caller at a time.
    std::lock_guard<std::mutex> lock(state().mutex);
    if (callback == nullptr || state().callback != nullptr) {
        return -1;
    }
    state().callback = callback;
    state().user = user;
    return 0;
}

int SCANIX_SEARCH_Manual(void)
{
    record({"Manual", 0, nullptr, {}, {}});
    return 1;
}

int SCANIX_SEARCH_StartAuto(int seconds)
{
    record({"StartAuto", seconds, nullptr, {}, {}});
    return 1;
}

int SCANIX_SEARCH_StopAuto(void)
{
    record({"StopAuto", 0, nullptr, {}, {}});
    return 1;
}

int SCANIX_SEARCH_Quit(void)
{
    {
        std::lock_guard<std::mutex> delivering(state().delivery);
        std::lock_guard<std::mutex> lock(state().mutex);
        state().callback = nullptr;
        state().user = nullptr;
    }
    record({"Quit", 0, nullptr, {}, {}});
    return 1;
}

int SCANIX_SET_CONFIG(const unsigned char* mac, const char* xml)
{
    record({"SetConfig", 0, nullptr, macText(mac), xml == nullptr ? "" : xml});
    return 1;
}

int SCANIX_SET_DevRestoreDefault(const unsigned char* mac)
{
    record({"RestoreDefault", 0, nullptr, macText(mac), {}});
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().restoreResult;
}

// Not recorded: the engine reads it whenever it empties its store, which is no call the
// tests follow.
long long SCANIX_SEARCH_DroppedReports(void)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().callback == nullptr ? -1 : state().droppedReports;
}

} // extern "C"
