// The library's reports and how they change the device store.

#include "CScanixManage.h"
#include "CSearchResult.h"
#include "MacText.h"
#include "Scanix_Search.h"

#include <algorithm>
#include <cstring>

void CScanixManage::OnSearchCallback(char* mac, int kind, const char* xml)
{
    if (mac == nullptr) {
        return;
    }
    UpperCaseMac(mac);
    SEARCH_INFO info{};
    bool notify = false;
    {
        CLockGuard guard(m_storeLock);
        switch (kind) {
        case SCANIX_KIND_FOUND:
            notify = OnDeviceFound(mac, xml, info);
            break;
        case SCANIX_KIND_GONE:
            notify = OnDeviceGone(mac, info);
            break;
        case SCANIX_KIND_CHANGED:
            notify = OnDeviceChanged(mac, xml, info);
            break;
        case SCANIX_KIND_SETIP_ANSWER:
            OnSetIPAnswer(mac, xml);
            break;
        default:
            // Nothing else is expected; an unknown report must not show up as a nameless device.
            break;
        }
    }
    // Outside the lock: observers may read the store from Update.
    if (notify) {
        Notify(info);
    }
}

bool CScanixManage::OnDeviceFound(const char* mac, const char* xml, SEARCH_INFO& info)
{
    // A malformed MAC would be no identity at all: it could match, replace or remove another
    // device, and the configuration requests could not address it.
    if (!IsMacText(mac) || FindStored(mac) != m_devices.end()) {
        return false;
    }
    info.opt = SEARCH_OPT_FOUND;
    CopyText(info.devInfo.mac, mac);
    if (!CSearchResult::ReadDevice(xml, info.devInfo)) {
        return false;
    }
    m_devices.push_back(info.devInfo);
    return true;
}

bool CScanixManage::OnDeviceChanged(const char* mac, const char* xml, SEARCH_INFO& info)
{
    if (!IsMacText(mac)) {
        return false;
    }
    info.opt = SEARCH_OPT_CHANGED;
    CopyText(info.devInfo.mac, mac);
    if (!CSearchResult::ReadDevice(xml, info.devInfo)) {
        return false;
    }
    // A changed device moves to the end; one we never saw found is not added.
    const auto it = FindStored(mac);
    if (it != m_devices.end()) {
        m_devices.erase(it);
        m_devices.push_back(info.devInfo);
    }
    // A report is nobody's proof: anyone on the wire can send one showing the requested values.
    // A pending request completes only through the library's answer (kind 10000), which counts
    // as success only when the device authenticated it.
    return true;
}

bool CScanixManage::OnDeviceGone(const char* mac, SEARCH_INFO& info)
{
    if (!IsMacText(mac)) {
        return false;
    }
    info.opt = SEARCH_OPT_GONE;
    CopyText(info.devInfo.mac, mac);
    const auto it = FindStored(mac);
    if (it != m_devices.end()) {
        m_devices.erase(it);
    }
    // Notified even when unknown: the observer may hold a device the store no longer has.
    return true;
}

void CScanixManage::OnSetIPAnswer(const char* mac, const char* xml)
{
    // Only the device last asked may answer: a late answer of an earlier request to another
    // device must not be taken for this one's.
    if (m_pendingMac[0] == '\0' || std::strcmp(mac, m_pendingMac) != 0) {
        return;
    }
    int code = 0;
    if (CSearchResult::ReadSetIPResult(xml, code)) {
        m_pendingAnswer = ReadConfigAnswer(xml);
        m_pendingResult.store(code);
    }
}

std::vector<DEVICE_INFO>::iterator CScanixManage::FindStored(const char* mac)
{
    return std::find_if(
        m_devices.begin(), m_devices.end(), [mac](const DEVICE_INFO& d) { return std::strcmp(d.mac, mac) == 0; });
}
