#pragma once

// Recorded "multicastSearchResult" documents and the helpers the engine tests share.

#include "CScanixManage.h"
#include "DeviceInfo.h"
#include "Observer.h"

#include <mutex>
#include <string>
#include <vector>

// The text of tests/engine/data/<name>.
std::string LoadDocument(const std::string& name);

// text with the first occurrence of from replaced by to; fails the test when from is absent.
std::string Replaced(std::string text, const std::string& from, const std::string& to);

// The recorded camera document with its first address, mask and gateway replaced.
std::string CameraDocument(const std::string& ip = "192.168.1.64",
                           const std::string& mask = "255.255.255.0",
                           const std::string& route = "192.168.1.1");

// Calls OnSearchCallback with a writable copy of mac, as the library does; returns the copy
// as the callback left it.
std::string Report(CScanixManage& manager, const std::string& mac, int kind, const char* xml);
std::string Report(CScanixManage& manager, const std::string& mac, int kind, const std::string& xml);

// The MAC texts of the store, in store order.
std::vector<std::string> StoredMacs(const CScanixManage& manager);

// Keeps every notification; safe to read while the library's thread notifies.
class RecordingObserver : public CObserver<SEARCH_INFO>
{
public:
    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* subject) override;
    std::vector<SEARCH_INFO> Received() const;
    CObservable<SEARCH_INFO>* LastSubject() const;

private:
    mutable std::mutex m_mutex;
    std::vector<SEARCH_INFO> m_received;
    CObservable<SEARCH_INFO>* m_subject = nullptr;
};
