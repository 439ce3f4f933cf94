#include "PortDocument.h"

#include "CMarkupSTL.h"

#include <cstdlib>

const char kDeviceConfigNamespace[] = "http://www.scanix.example/ver10";

namespace {

void AddPortElements(CMarkupSTL& xml, const char* group, const DevicePorts& ports)
{
    xml.AddElement(group);
    xml.EnterElement();
    const std::pair<const char*, int> values[] = {
        {"httpPort", ports.httpPort}, {"netPort", ports.dataPort}, {"rtspPort", ports.rtspPort}};
    for (const auto& v : values) {
        xml.AddElementNumber(v.first, v.second);
        xml.SetAttribute("type", "uint16");
    }
    xml.LeaveElement();
}

} // namespace

std::string BuildPortDocument(const DevicePorts& ports)
{
    CMarkupSTL xml;
    xml.AddElement("config");
    xml.SetAttribute("version", "1.0");
    xml.SetAttribute("xmlns", kDeviceConfigNamespace);
    xml.EnterElement();
    AddPortElements(xml, "port", ports);
    AddPortElements(xml, "ports", ports);
    xml.LeaveElement();
    return xml.GetDocument();
}

bool ReadPortConfigValue(const char* document, const char* name, int& value)
{
    CMarkupSTL xml(document);
    if (!xml.FindElement("config") || !xml.EnterElement() || !xml.FindElement("port") || !xml.EnterElement() ||
        !xml.FindElement(name)) {
        return false;
    }
    value = std::atoi(xml.GetElementData().c_str());
    return true;
}

std::string BuildSetIpDocument(const SetIpRequest& request)
{
    CMarkupSTL xml;
    xml.AddElement("searchSetIP");
    xml.SetAttribute("password", request.password.c_str());
    xml.SetAttribute("serialNo", request.mac.c_str());
    xml.SetAttribute("dhcpSwitch", request.dhcp ? "true" : "false");
    xml.SetAttribute("ipAddr", request.ip.c_str());
    xml.SetAttribute("maskAddr", request.mask.c_str());
    xml.SetAttribute("route", request.gateway.c_str());
    xml.SetAttribute("dns1", request.dns1.c_str());
    xml.SetAttribute("dns2", request.dns2.c_str());
    xml.SetAttribute("encryptType", request.encryptType.c_str());
    if (!request.httpPort.empty()) {
        xml.SetAttribute("httpPort", request.httpPort.c_str());
    }
    if (!request.dataPort.empty()) {
        xml.SetAttribute("dataPort", request.dataPort.c_str());
    }
    return xml.GetDocument();
}
