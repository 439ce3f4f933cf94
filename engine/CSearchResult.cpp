#include "CSearchResult.h"

#include "CMarkupSTL.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kRootName = "multicastSearchResult";
constexpr const char* kMakerPrefix = "QMX";

// Ends a text that had to be cut to fit the record, so that nobody reading the field takes
// what is left for the whole text (a cut address would even read as another address).
constexpr const char kCutMark[] = "\xE2\x80\xA6";
constexpr std::size_t kCutMarkLength = sizeof kCutMark - 1;

// Copies a text of the report into its record field: whole when it fits, otherwise as much as
// fits before the cut mark, cut on a character boundary.
template <std::size_t N> void copyReportText(char (&field)[N], const std::string& text)
{
    static_assert(N > kCutMarkLength + 1, "a field holds at least the cut mark");
    if (text.size() < N) {
        CopyText(field, text);
        return;
    }
    const std::size_t keep = Utf8CutLength(text.data(), text.size(), N - 1 - kCutMarkLength);
    CopyText(field, text.substr(0, keep) + kCutMark);
}

// Reads the next sibling named name, if any, into field.
template <std::size_t N> void readText(CMarkupSTL& doc, const char* name, char (&field)[N])
{
    if (doc.FindElement(name)) {
        copyReportText(field, doc.GetElementData());
    }
}

// A port the device cannot listen on counts as not reported: no address is ever built with
// it, and a missing port reads 0 as everywhere else.
void readPort(CMarkupSTL& doc, const char* name, int& field)
{
    if (doc.FindElement(name)) {
        const int port = CSearchResult::ParseInt(doc.GetElementData());
        field = port >= 1 && port <= 65535 ? port : 0;
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
                copyReportText(info.ipAddr, doc.GetChildElementData());
            }
            if (findItemChild(doc, "mask")) {
                copyReportText(info.mask, doc.GetChildElementData());
            }
            if (findItemChild(doc, "route")) {
                copyReportText(info.route, doc.GetChildElementData());
            }
            if (findItemChild(doc, "dhcpSwitch")) {
                info.dhcpSwitch = doc.GetChildElementData() == "true";
            }
            if (doc.FindElement("item") && findItemChild(doc, "ip")) {
                copyReportText(info.ipAddr2, doc.GetChildElementData());
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
    readPort(doc, "dataPort", info.dataPort);
    readPort(doc, "httpPort", info.httpPort);
    readPort(doc, "rtspPort", info.rtspPort);
    doc.LeaveElement();
}

void readProductInfo(CMarkupSTL& doc, DEVICE_INFO& info)
{
    doc.EnterElement();
    readText(doc, "bootTime", info.bootTime);
    readText(doc, "runningTime", info.runningTime);
    std::string version(info.softwareVer);
    if (doc.FindElement("softwareVer")) {
        version = doc.GetElementData();
        copyReportText(info.softwareVer, version);
    }
    readText(doc, "devName", info.devName);
    readText(doc, "hardwareVer", info.hardwareVer);
    readInt(doc, "deviceActivated", info.deviceActivated);
    readText(doc, "softwareBulildDate", info.softwareBulildDate);
    readText(doc, "kernelVer", info.kernelVer);
    readText(doc, "productSeries", info.productSeries);
    readText(doc, "productModel", info.productModel);
    if (doc.FindElement("build")) {
        // Composed from the whole texts first and cut to the field once.
        version += '(';
        version += doc.GetElementData();
        version += ')';
        copyReportText(info.softwareVer, version);
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
