// The extra children of the library's configuration answer (docs/protocol.md).
#include "CMarkupSTL.h"
#include "DeviceRequests.h"

#include <cstdlib>

namespace {

std::string Child(CMarkupSTL& doc, const char* name)
{
    doc.ResetChildPosition();
    return doc.FindChildElement(name) ? doc.GetChildElementData() : std::string();
}

} // namespace

ConfigAnswerInfo ReadConfigAnswer(const char* xml)
{
    ConfigAnswerInfo info;
    CMarkupSTL doc;
    if (xml == nullptr || !doc.SetDocument(xml) || !doc.FindElement()) {
        return info;
    }
    info.authenticated = Child(doc, "authenticated") == "1";
    info.reason = Child(doc, "reason");
    if (info.authenticated) {
        info.confirmedIp = Child(doc, "confirmedIp");
        info.httpType = std::atoi(Child(doc, "httpType").c_str());
        info.httpPort = std::atoi(Child(doc, "httpPort").c_str());
        info.dataPort = std::atoi(Child(doc, "dataPort").c_str());
        info.tlsKey = Child(doc, "tlsKey");
    }
    return info;
}
