#include "CScanixManage.h"

#include "AddressingRules.h"
#include "CSearchResult.h"
#include "MacText.h"
#include "Scanix_Search.h"
#include "SocketsLayer.h"

#include <algorithm>
#include <cstring>

namespace {

// Passed through to the library; what it means is the library's business.
constexpr int kLibraryOption = 96;

} // namespace

CScanixManage::CScanixManage() = default;

CScanixManage::~CScanixManage()
{
    Quit();
}

bool CScanixManage::Init()
{
    CSocketsLayer::Start();
    ClearStore();
    // A library that did not start (it already runs for someone else) is not ours to stop.
    if (SCANIX_SEARCH_Initial(&CScanixManage::SearchCallback, this, kLibraryOption) != 0) {
        CSocketsLayer::Stop();
        return false;
    }
    m_running = true;
    return true;
}

void CScanixManage::Refresh(bool bManual)
{
    if (bManual) {
        ClearStore();
        SCANIX_SEARCH_Manual();
        return;
    }
    SCANIX_SEARCH_StopAuto();
    ClearStore();
    SCANIX_SEARCH_StartAuto(m_autoInterval);
}

void CScanixManage::SetAutoInterval(int nSeconds)
{
    SCANIX_SEARCH_StopAuto();
    if (nSeconds != 0) {
        // Leaving manual mode starts a fresh list; a new period keeps the devices known.
        if (m_autoInterval == 0) {
            ClearStore();
        }
        SCANIX_SEARCH_StartAuto(nSeconds);
    }
    m_autoInterval = nSeconds;
}

void CScanixManage::Quit()
{
    if (!m_running) {
        return;
    }
    m_running = false;
    SCANIX_SEARCH_Quit();
    CSocketsLayer::Stop();
}

int CScanixManage::GetAutoInterval() const
{
    return m_autoInterval;
}

long long CScanixManage::GetDroppedReports() const
{
    const long long total = SCANIX_SEARCH_DroppedReports();
    return total < 0 ? 0 : std::max(0LL, total - m_droppedBaseline.load());
}

std::vector<DEVICE_INFO> CScanixManage::Devices() const
{
    CLockGuard guard(m_storeLock);
    return m_devices;
}

bool CScanixManage::FindDevice(const char* mac, DEVICE_INFO& out) const
{
    if (mac == nullptr) {
        return false;
    }
    char key[sizeof(DEVICE_INFO::mac)];
    CopyText(key, mac);
    UpperCaseMac(key);
    CLockGuard guard(m_storeLock);
    const auto it = std::find_if(
        m_devices.begin(), m_devices.end(), [&](const DEVICE_INFO& d) { return std::strcmp(d.mac, key) == 0; });
    if (it == m_devices.end()) {
        return false;
    }
    out = *it;
    return true;
}

void CScanixManage::SetPendingRequest(const char* mac, const char* ip, const char* mask, const char* gateway)
{
    CLockGuard guard(m_storeLock);
    CopyText(m_pendingMac, mac);
    UpperCaseMac(m_pendingMac);
    CopyText(m_pendingIp, ip);
    CopyText(m_pendingMask, mask);
    CopyText(m_pendingGateway, gateway);
    m_pendingAnswer = ConfigAnswerInfo();
    m_pendingResult.store(-1);
}

int CScanixManage::GetPendingResult() const
{
    return m_pendingResult.load();
}

ConfigAnswerInfo CScanixManage::GetPendingAnswer() const
{
    CLockGuard guard(m_storeLock);
    return m_pendingAnswer;
}

bool CScanixManage::CheckNetParam(std::uint32_t ip, std::uint32_t mask, std::uint32_t gateway, int* code)
{
    int local = 0;
    const bool ok = CheckAddressingRules(ip, mask, gateway, local);
    if (code != nullptr) {
        *code = local;
    }
    return ok;
}

int CScanixManage::SearchCallback(char* mac, int kind, const char* xml, void* user)
{
    if (user != nullptr) {
        static_cast<CScanixManage*>(user)->OnSearchCallback(mac, kind, xml);
    }
    return 0;
}

void CScanixManage::ClearStore()
{
    CLockGuard guard(m_storeLock);
    m_devices.clear();
    // Before the library runs there is nothing counted yet.
    m_droppedBaseline.store(std::max(0LL, SCANIX_SEARCH_DroppedReports()));
}
