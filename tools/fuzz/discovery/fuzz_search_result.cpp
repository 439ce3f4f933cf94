// Fuzz target for the engine's side of a device report: any bytes as the document, handed to
// the search manager under valid, lower-case and broken MAC texts with every kind, as the
// library's callback would. Whatever the document holds, every stored record and every
// notification keeps its texts NUL-terminated within their widths, and only our devices, under
// the MAC texts that were reported, enter the store.
#include "CMarkupSTL.h"
#include "CScanixManage.h"
#include "Scanix_Search.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// Terminated inside the field, and zero-filled behind the terminator.
template <std::size_t N> void CheckText(const char (&field)[N])
{
    const void* end = std::memchr(field, '\0', N);
    Check(end != nullptr);
    for (const char* p = static_cast<const char*>(end); p < field + N; ++p) {
        Check(*p == '\0');
    }
}

void CheckRecord(const DEVICE_INFO& d)
{
    CheckText(d.devName);
    CheckText(d.ipAddr);
    CheckText(d.mask);
    CheckText(d.ipAddr2);
    CheckText(d.route);
    CheckText(d.dns1);
    CheckText(d.dns2);
    CheckText(d.mac);
    CheckText(d.productSeries);
    CheckText(d.softwareVer);
    CheckText(d.softwareBulildDate);
    CheckText(d.hardwareVer);
    CheckText(d.kernelVer);
    CheckText(d.productModel);
    CheckText(d.runningTime);
    CheckText(d.bootTime);
    CheckText(d.encryptType);
}

constexpr const char* kMacA = "02:5C:01:00:00:00";
constexpr const char* kMacB = "02:5C:01:00:00:01";

bool IsReportedMac(const char* mac)
{
    return std::strcmp(mac, kMacA) == 0 || std::strcmp(mac, kMacB) == 0;
}

// The maker test, read independently of the engine: the first product block's series.
bool IsForeign(const std::string& xml)
{
    CMarkupSTL doc;
    if (!doc.SetDocument(xml.c_str(), std::strlen(xml.c_str())) || !doc.FindElement("multicastSearchResult")) {
        return false;
    }
    doc.EnterElement();
    return doc.FindElement("productInfo") && doc.FindChildElement("productSeries") &&
           doc.GetChildElementData().find("QMX") == std::string::npos;
}

class CheckingObserver : public CObserver<SEARCH_INFO>
{
public:
    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* /*subject*/) override
    {
        Check(info.opt == SEARCH_OPT_FOUND || info.opt == SEARCH_OPT_GONE || info.opt == SEARCH_OPT_CHANGED);
        CheckRecord(info.devInfo);
        Check(IsReportedMac(info.devInfo.mac));
    }
};

void CheckStore(const CScanixManage& manager, bool foreign)
{
    const auto devices = manager.Devices();
    Check(devices.size() <= 2);
    Check(!foreign || devices.empty());
    for (const DEVICE_INFO& d : devices) {
        CheckRecord(d);
        Check(IsReportedMac(d.mac));
    }
    Check(devices.size() < 2 || std::strcmp(devices[0].mac, devices[1].mac) != 0);
}

void Report(CScanixManage& manager, const char* mac, int kind, const std::string& xml, bool foreign)
{
    char text[64] = {};
    std::strncpy(text, mac, sizeof text - 1);
    manager.OnSearchCallback(text, kind, xml.c_str());
    CheckStore(manager, foreign);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The library hands on a C string: whatever follows a NUL byte is never seen.
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const bool foreign = IsForeign(xml);
    CScanixManage manager;
    CheckingObserver observer;
    manager.Attach(&observer);
    manager.SetPendingRequest(kMacA, "192.168.1.200", "255.255.255.0", "192.168.1.1");
    const char* macs[] = {"02:5c:01:00:00:00", kMacB, "02:5C:01:00:00", "02:5C:01:00:00:0G", ""};
    for (const char* mac : macs) {
        Report(manager, mac, SCANIX_KIND_FOUND, xml, foreign);
    }
    for (const char* mac : macs) {
        Report(manager, mac, SCANIX_KIND_CHANGED, xml, foreign);
    }
    Report(manager, kMacB, SCANIX_KIND_SETIP_ANSWER, xml, foreign);
    Report(manager, kMacA, SCANIX_KIND_SETIP_ANSWER, xml, foreign);
    Report(manager, kMacA, 7, xml, foreign);
    Report(manager, kMacB, SCANIX_KIND_GONE, xml, foreign);
    Report(manager, kMacB, SCANIX_KIND_FOUND, xml, foreign);
    manager.Detach(&observer);
    return 0;
}
