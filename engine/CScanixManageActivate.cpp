// Activation: a device that has no password yet is given its first one. The search library
// seals the password to the device's key; the answer counts only when the device proves it.
#include "CMarkupSTL.h"
#include "CScanixManage.h"
#include "MacText.h"
#include "ProtocolConstants.h"
#include "Scanix_Search.h"

int CScanixManage::ActivateDevice(const char* mac, const char* password)
{
    DEVICE_INFO device{};
    unsigned char macBytes[6] = {};
    if (mac == nullptr || password == nullptr || !FindDevice(mac, device) || !ParseMac(device.mac, macBytes)) {
        return SETIP_FAILED;
    }
    CMarkupSTL doc;
    doc.AddElement(scanix::proto::kActivateRequestRoot);
    doc.SetAttribute("password", password);
    SetPendingRequest(device.mac, "", "", "");
    if (SCANIX_SET_CONFIG(macBytes, doc.GetDocument().c_str()) != 0) {
        return SETIP_FAILED;
    }
    const int answer = WaitForPendingResult();
    if (answer == -1) {
        return SETIP_NO_ANSWER;
    }
    return answer == 0 && GetPendingAnswer().authenticated ? SETIP_OK : SETIP_FAILED;
}
