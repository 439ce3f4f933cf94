#include "CSearchResult.h"

#include "CMarkupSTL.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kRootName = "multicastSearchResult";
constexpr const char* kMakerPrefix = "QMX";

// Reads the next sibling named name, if any, into field.
template <std::size_t N> void readText(CMarkupSTL& doc, const char* name, char (&field)[N])
{
    if (doc.FindElement(name)) {
        CopyText(field, doc.GetElementData());
    }
}

void readInt(CMarkupSTL& doc, const char* name, int& field)
{
    if (doc.FindElement(name)) {
        field = CSearchResult::ParseInt(doc.GetElementData());
    }
}

// Inside one item the children may come in any order, so each search starts from the top.
bool findItemChild(CMarkupSTL& doc, const char* name)
{
    doc.ResetChildPosition();
    return doc.FindChildElement(name);
}

void readTcpIp(CMarkupSTL& doc, DEVICE_INFO& info)
{
    doc.EnterElement();
    if (doc.FindElement("ipAddr")) {
        doc.EnterElement();
        if (doc.FindElement("item")) {
            if (findItemChild(doc, "ip")) {
                CopyText(info.ipAddr, doc.GetChildElementData());
            }
            if (findItemChild(doc, "mask")) {
                CopyText(info.mask, doc.GetChildElementData());
            }
            if (findItemChild(doc, "route")) {
                CopyText(info.route, doc.GetChildElementData());
            }
            if (findItemChild(doc, "dhcpSwitch")) {
                info.dhcpSwitch = doc.GetChildElementData() == "true";
            }
            if (doc.FindElement("item") && findItemChild(doc, "ip")) {
                CopyText(info.ipAddr2, doc.GetChildElementData());
            }
        }
        doc.LeaveElement();
    }
    readText(doc, "dns1", info.dns1);
    readText(doc, "dns2", info.dns2);
    readText(doc, "encryptType", info.encryptType);
    doc.LeaveElement();
}

void readPorts(CMarkupSTL& doc, DEVICE_INFO& info)
{
    doc.EnterElement();
    readInt(doc, "dataPort", info.dataPort);
    readInt(doc, "httpPort", info.httpPort);
    readInt(doc, "rtspPort", info.rtspPort);
    doc.LeaveElement();
}

void readProductInfo(CMarkupSTL& doc, DEVICE_INFO& info)
{
    doc.EnterElement();
    readText(doc, "bootTime", info.bootTime);
    readText(doc, "runningTime", info.runningTime);
    readText(doc, "softwareVer", info.softwareVer);
    readText(doc, "devName", info.devName);
    readText(doc, "hardwareVer", info.hardwareVer);
    readInt(doc, "deviceActivated", info.deviceActivated);
    readText(doc, "softwareBulildDate", info.softwareBulildDate);
    readText(doc, "kernelVer", info.kernelVer);
    readText(doc, "productSeries", info.productSeries);
    readText(doc, "productModel", info.productModel);
    if (doc.FindElement("build")) {
        // Composed first and cut to the field once, never appended past its end.
        std::string version(info.softwareVer);
        version += '(';
        version += doc.GetElementData();
        version += ')';
        CopyText(info.softwareVer, version);
    }
    doc.LeaveElement();
}

// The markup reader indexes whatever it can of a broken text; a datagram cut short would
// then pass as a device with half its fields, so only well-formed documents are read.
bool Open(CMarkupSTL& doc, const char* xml)
{
    return xml != nullptr && doc.SetDocument(xml, std::strlen(xml)) && doc.FindElement(kRootName);
}

} // namespace

bool CSearchResult::ReadDevice(const char* xml, DEVICE_INFO& info)
{
    CMarkupSTL doc;
    if (!Open(doc, xml)) {
        return false;
    }
    doc.EnterElement();
    // Only the first product block decides whether the device is ours.
    if (doc.FindElement("productInfo") && doc.FindChildElement("productSeries") &&
        doc.GetChildElementData().find(kMakerPrefix) == std::string::npos) {
        return false;
    }
    if (doc.FindElement("tcpIp")) {
        readTcpIp(doc, info);
    }
    if (doc.FindElement("port")) {
        readPorts(doc, info);
    }
    readInt(doc, "httpType", info.httpType);
    if (doc.FindElement("productInfo")) {
        readProductInfo(doc, info);
    }
    return true;
}

bool CSearchResult::ReadSetIPResult(const char* xml, int& code)
{
    CMarkupSTL doc;
    if (!Open(doc, xml)) {
        return false;
    }
    doc.EnterElement();
    if (!doc.FindElement("setIPResult")) {
        return false;
    }
    code = ParseInt(doc.GetElementData());
    return true;
}

int CSearchResult::ParseInt(const std::string& text)
{
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX || (errno == ERANGE && value > 0)) {
        return INT_MAX;
    }
    if (value < INT_MIN || (errno == ERANGE && value < 0)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}
