// The exported functions (the seven a caller needs, and the dropped-report count it may ask
// for): argument checks and the one engine instance. Everything else is hidden
// (-fvisibility=hidden), so the library's interface is exactly Scanix_Search.h.

#include "Scanix_Search.h"

#include "ProtocolConstants.h"
#include "SearchEngine.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>

namespace {

using scanix::search::SearchEngine;

std::mutex g_mutex;
std::shared_ptr<SearchEngine> g_engine;

// A copy, so that a caller never holds g_mutex while it waits (Restore blocks for seconds).
std::shared_ptr<SearchEngine> Engine()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_engine;
}

int SpreadFromOption(int option)
{
    if (option <= 0) {
        return scanix::proto::kDefaultReplySpreadMs;
    }
    return std::min(option, scanix::proto::kMaxReplySpreadMs / 10) * 10;
}

bool ReadMac(const unsigned char* mac, scanix::proto::MacBytes& out)
{
    if (mac == nullptr) {
        return false;
    }
    std::copy(mac, mac + out.size(), out.begin());
    return true;
}

} // namespace

extern "C" {

int SCANIX_SEARCH_Initial(SCANIX_SEARCH_CALLBACK callback, void* user, int option)
{
    if (callback == nullptr) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_engine) {
        return -1;
    }
    g_engine = std::make_shared<SearchEngine>(callback, user, SpreadFromOption(option));
    return 0;
}

int SCANIX_SEARCH_Manual(void)
{
    auto engine = Engine();
    if (!engine) {
        return -1;
    }
    engine->Manual();
    return 0;
}

int SCANIX_SEARCH_StartAuto(int seconds)
{
    auto engine = Engine();
    if (!engine) {
        return -1;
    }
    engine->StartAuto(seconds);
    return 0;
}

int SCANIX_SEARCH_StopAuto(void)
{
    auto engine = Engine();
    if (!engine) {
        return -1;
    }
    engine->StopAuto();
    return 0;
}

int SCANIX_SEARCH_Quit(void)
{
    std::shared_ptr<SearchEngine> engine;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        // From inside a callback the thread cannot wait for itself to end.
        if (!g_engine || g_engine->OnEngineThread()) {
            return -1;
        }
        engine = std::move(g_engine);
    }
    engine->Stop();
    return 0;
}

int SCANIX_SET_CONFIG(const unsigned char* mac, const char* xml)
{
    scanix::proto::MacBytes bytes{};
    auto engine = Engine();
    if (!engine || xml == nullptr || !ReadMac(mac, bytes)) {
        return -1;
    }
    return engine->SetConfig(bytes, xml) ? 0 : -1;
}

int SCANIX_SET_DevRestoreDefault(const unsigned char* mac)
{
    scanix::proto::MacBytes bytes{};
    auto engine = Engine();
    if (!engine || !ReadMac(mac, bytes)) {
        return 0;
    }
    return engine->Restore(bytes);
}

long long SCANIX_SEARCH_DroppedReports(void)
{
    auto engine = Engine();
    if (!engine) {
        return -1;
    }
    return static_cast<long long>(
        std::min<std::uint64_t>(engine->DroppedReports(), std::numeric_limits<long long>::max()));
}

} // extern "C"
