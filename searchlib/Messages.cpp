#include "Messages.h"

#include "CMarkupSTL.h"
#include "Crypto.h"
#include "ProtocolConstants.h"
#include "WireMac.h"

#include <cstdlib>

namespace scanix::proto {

namespace {

// The attributes of "searchSetIP" that a device needs.
const char* const kSetIpAttributes[] = {"password",
                                        "serialNo",
                                        "dhcpSwitch",
                                        "ipAddr",
                                        "maskAddr",
                                        "route",
                                        "dns1",
                                        "dns2",
                                        "encryptType",
                                        "httpPort",
                                        "dataPort"};

class Fingerprint
{
public:
    // FNV-1a over name, value and a separator, so that moved text cannot collide trivially.
    void Add(const char* name, const std::string& value)
    {
        Mix(name);
        Mix("=");
        Mix(value.c_str());
        Mix("\n");
    }
    std::uint64_t Value() const
    {
        return m_hash;
    }

private:
    void Mix(const char* text)
    {
        for (; *text != '\0'; ++text) {
            m_hash ^= static_cast<unsigned char>(*text);
            m_hash *= 1099511628211ULL;
        }
    }
    std::uint64_t m_hash = 14695981039346656037ULL;
};

// Adds every named child of the current element, wherever it sits among its siblings.
void AddChildren(CMarkupSTL& doc, Fingerprint& print, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        doc.ResetChildPosition();
        print.Add(name, doc.FindChildElement(name) ? doc.GetChildElementData() : std::string("\x01"));
    }
    doc.ResetChildPosition();
}

// Every field the program shows except running and boot time, which change on their own.
std::uint64_t ResultFingerprint(CMarkupSTL& doc)
{
    Fingerprint print;
    int productInfo = 0;
    while (doc.FindElement()) {
        const std::string name = doc.GetTagName();
        if (name == "productInfo") {
            print.Add("productInfo", std::to_string(++productInfo));
            AddChildren(doc,
                        print,
                        {"softwareVer",
                         "devName",
                         "hardwareVer",
                         "deviceActivated",
                         "softwareBulildDate",
                         "kernelVer",
                         "productSeries",
                         "productModel",
                         "build"});
        } else if (name == "tcpIp") {
            AddChildren(doc, print, {"dns1", "dns2", "encryptType"});
            doc.EnterElement();
            if (doc.FindElement("ipAddr")) {
                doc.EnterElement();
                for (int item = 0; item < 2 && doc.FindElement("item"); ++item) {
                    AddChildren(doc, print, {"ip", "mask", "route", "dhcpSwitch"});
                }
                doc.LeaveElement();
            }
            doc.LeaveElement();
        } else if (name == "port") {
            AddChildren(doc, print, {"dataPort", "httpPort", "rtspPort"});
        } else if (name == "httpType") {
            print.Add("httpType", doc.GetElementData());
        }
    }
    return print.Value();
}

std::string ChildText(CMarkupSTL& doc, const char* name)
{
    doc.ResetChildPosition();
    return doc.FindChildElement(name) ? doc.GetChildElementData() : std::string();
}

std::uint32_t ToUint(const std::string& text)
{
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

void ReadResult(CMarkupSTL& doc, Incoming& out)
{
    out.mac = NormalizeMac(ChildText(doc, "mac"));
    out.event = ChildText(doc, "event");
    doc.ResetChildPosition();
    if (doc.FindChildElement(kEventSetIpResult)) {
        out.hasSetIpResult = true;
        out.setIpResult = std::atoi(doc.GetChildElementData().c_str());
    }
    doc.ResetChildPosition();
    if (doc.FindChildElement("auth")) {
        doc.EnterElement();
        out.hasAuth = true;
        const auto key = crypto::FromHex(ChildText(doc, "pubKey"), crypto::kPublicKeyBytes);
        const std::string saltText = ChildText(doc, "salt");
        const auto salt = crypto::FromHex(saltText, crypto::kSaltBytes);
        out.probeNonce = ChildText(doc, "probe");
        doc.LeaveElement();
        // A damaged key or salt makes the whole report unreadable rather than an old-protocol one.
        if (!key || (!saltText.empty() && !salt)) {
            out.mac.clear();
            return;
        }
        out.publicKey = *key;
        out.salt = salt ? *salt : std::string();
    }
    doc.ResetChildPosition();
    doc.EnterElement();
    out.fingerprint = ResultFingerprint(doc);
}

Incoming ReadRoot(CMarkupSTL& doc, const std::string& text)
{
    Incoming out;
    if (doc.FindElement() && IsSecureRoot(doc.GetTagName())) {
        if (auto secure = ReadSecure(text)) {
            out.type = Incoming::Type::Secure;
            out.secure = std::move(*secure);
            out.mac = NormalizeMac(out.secure.Get("mac"));
        }
        return out;
    }
    doc.ResetPos();
    if (doc.FindElement(kResultRoot)) {
        out.type = Incoming::Type::Result;
        ReadResult(doc, out);
    } else if (doc.FindElement(kProbeRoot)) {
        out.type = Incoming::Type::Probe;
        out.seq = ToUint(ChildText(doc, "seq"));
        out.spreadMs = std::atoi(ChildText(doc, "spread").c_str());
        out.probeNonce = ChildText(doc, "nonce");
        const auto key = crypto::FromHex(ChildText(doc, "key"), crypto::kPublicKeyBytes);
        out.searcherKey = key ? *key : std::string();
        return out; // a probe names no device
    } else if (doc.FindElement(kByeRoot)) {
        out.type = Incoming::Type::Bye;
        out.mac = NormalizeMac(ChildText(doc, "mac"));
    } else if (doc.FindElement(kSetIpRoot)) {
        out.type = Incoming::Type::SetIp;
        for (const char* name : kSetIpAttributes) {
            const std::string value = doc.GetAttrib(name);
            if (!value.empty()) {
                out.attributes[name] = value;
            }
        }
        out.mac = NormalizeMac(out.attributes["serialNo"]);
    } else if (doc.FindElement(kRestoreRoot) || doc.FindElement(kRestoreResultRoot)) {
        out.type = doc.GetTagName() == kRestoreRoot ? Incoming::Type::Restore : Incoming::Type::RestoreResult;
        out.mac = NormalizeMac(ChildText(doc, "mac"));
        out.id = ToUint(ChildText(doc, "id"));
        out.restored = ChildText(doc, "result") == "1";
    }
    return out;
}

void AddText(CMarkupSTL& doc, const char* name, const std::string& value)
{
    doc.AddElement(name, value.c_str());
}

void AddNumber(CMarkupSTL& doc, const char* name, int value)
{
    doc.AddElementNumber(name, value);
}

} // namespace

Incoming ReadMessage(const std::string& text)
{
    // A NUL byte ends the text the callback's reader sees: the document it would get is cut
    // short, and the device would count as delivered although it was never read.
    if (text.empty() || text.size() > kMaxDatagram || text.find('\0') != std::string::npos) {
        return {};
    }
    // A truncated or damaged document could still show a root and a MAC: only a well-formed
    // one is read, so a half reply never reaches a callback as a device.
    CMarkupSTL doc;
    if (!doc.SetDocument(text.data(), text.size())) {
        return {};
    }
    Incoming message = ReadRoot(doc, text);
    // Everything but a probe names one device; without a well-shaped MAC it is nobody's.
    if (message.type != Incoming::Type::Probe && message.mac.empty()) {
        return {};
    }
    return message;
}

std::string
BuildProbe(std::uint32_t seq, int copy, int spreadMs, const std::string& keyHex, const std::string& nonceHex)
{
    CMarkupSTL doc;
    doc.AddElement(kProbeRoot);
    doc.SetAttribute("version", "1");
    doc.EnterElement();
    AddText(doc, "seq", std::to_string(seq));
    AddNumber(doc, "copy", copy);
    AddNumber(doc, "spread", spreadMs);
    if (!keyHex.empty()) {
        AddText(doc, "key", keyHex);
        AddText(doc, "nonce", nonceHex);
    }
    doc.LeaveElement();
    return doc.GetDocument();
}

std::string BuildResult(const DeviceFields& d)
{
    CMarkupSTL doc;
    doc.AddElement(kResultRoot);
    doc.EnterElement();
    AddText(doc, "mac", d.mac);
    AddText(doc, "event", d.event);
    // The series comes first as well, so that a reader can refuse a foreign device early.
    doc.AddElement("productInfo");
    doc.EnterElement();
    AddText(doc, "productSeries", d.productSeries);
    doc.LeaveElement();
    doc.AddElement("tcpIp");
    doc.EnterElement();
    doc.AddElement("ipAddr");
    doc.EnterElement();
    doc.AddElement("item");
    doc.EnterElement();
    AddText(doc, "ip", d.ip);
    AddText(doc, "mask", d.mask);
    AddText(doc, "route", d.route);
    AddText(doc, "dhcpSwitch", d.dhcp ? "true" : "false");
    doc.LeaveElement();
    if (!d.ip2.empty()) {
        doc.AddElement("item");
        doc.EnterElement();
        AddText(doc, "ip", d.ip2);
        doc.LeaveElement();
    }
    doc.LeaveElement();
    AddText(doc, "dns1", d.dns1);
    AddText(doc, "dns2", d.dns2);
    AddText(doc, "encryptType", d.encryptType);
    doc.LeaveElement();
    doc.AddElement("port");
    doc.EnterElement();
    AddNumber(doc, "dataPort", d.dataPort);
    AddNumber(doc, "httpPort", d.httpPort);
    if (d.rtspPort >= 0) {
        AddNumber(doc, "rtspPort", d.rtspPort);
    }
    doc.LeaveElement();
    AddNumber(doc, "httpType", d.httpType);
    doc.AddElement("productInfo");
    doc.EnterElement();
    AddText(doc, "bootTime", d.bootTime);
    AddText(doc, "runningTime", d.runningTime);
    AddText(doc, "softwareVer", d.softwareVer);
    AddText(doc, "devName", d.devName);
    AddText(doc, "hardwareVer", d.hardwareVer);
    AddNumber(doc, "deviceActivated", d.deviceActivated);
    AddText(doc, "softwareBulildDate", d.softwareBuildDate);
    AddText(doc, "kernelVer", d.kernelVer);
    AddText(doc, "productSeries", d.productSeries);
    AddText(doc, "productModel", d.productModel);
    if (!d.build.empty()) {
        AddText(doc, "build", d.build);
    }
    doc.LeaveElement();
    if (!d.publicKeyHex.empty()) {
        doc.AddElement("auth");
        doc.EnterElement();
        AddText(doc, "version", kAuthVersion);
        AddText(doc, "pubKey", d.publicKeyHex);
        AddText(doc, "salt", d.saltHex);
        if (!d.probeNonce.empty()) {
            AddText(doc, "probe", d.probeNonce);
            AddText(doc, "tag", "");
        }
        doc.LeaveElement();
    }
    doc.LeaveElement();
    return doc.GetDocument();
}

std::string BuildSetIpResult(const std::string& mac, int result)
{
    CMarkupSTL doc;
    doc.AddElement(kResultRoot);
    doc.EnterElement();
    AddText(doc, "mac", mac);
    AddText(doc, "event", kEventSetIpResult);
    AddNumber(doc, kEventSetIpResult, result);
    doc.LeaveElement();
    return doc.GetDocument();
}

std::string BuildBye(const std::string& mac)
{
    CMarkupSTL doc;
    doc.AddElement(kByeRoot);
    doc.EnterElement();
    AddText(doc, "mac", mac);
    doc.LeaveElement();
    return doc.GetDocument();
}

std::string BuildRestore(const std::string& mac, std::uint32_t id)
{
    CMarkupSTL doc;
    doc.AddElement(kRestoreRoot);
    doc.EnterElement();
    AddText(doc, "mac", mac);
    AddText(doc, "id", std::to_string(id));
    doc.LeaveElement();
    return doc.GetDocument();
}

std::string BuildRestoreResult(const std::string& mac, std::uint32_t id, bool restored)
{
    CMarkupSTL doc;
    doc.AddElement(kRestoreResultRoot);
    doc.EnterElement();
    AddText(doc, "mac", mac);
    AddText(doc, "id", std::to_string(id));
    AddNumber(doc, "result", restored ? 1 : 0);
    doc.LeaveElement();
    return doc.GetDocument();
}

} // namespace scanix::proto
