#include "SimDevice.h"

#include "Crypto.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ctime>

namespace {

std::string FormatTime(std::chrono::system_clock::time_point when)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// The record's running time is a count of seconds; the program formats it for the list.
std::string FormatUptime(std::chrono::seconds up)
{
    return std::to_string(up.count() < 0 ? 0 : up.count());
}

bool IsIpv4(const std::string& text)
{
    in_addr address{};
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

bool ToPort(const std::string& text, int& port)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 65535) {
        return false;
    }
    port = static_cast<int>(value);
    return true;
}

std::string Get(const std::map<std::string, std::string>& request, const char* key)
{
    auto found = request.find(key);
    return found == request.end() ? std::string() : found->second;
}

} // namespace

scanix::proto::DeviceFields SimDevice::Fields(const std::string& event, std::chrono::system_clock::time_point now) const
{
    scanix::proto::DeviceFields f;
    f.mac = mac;
    f.event = event;
    f.productSeries = series;
    f.ip = ip;
    f.mask = mask;
    f.route = gateway;
    f.dhcp = dhcp;
    f.ip2 = ip2;
    f.dns1 = dns1;
    f.dns2 = dns2;
    f.encryptType = encryptType;
    f.dataPort = dataPort;
    f.httpPort = httpPort;
    f.rtspPort = rtspPort;
    f.httpType = httpType;
    f.bootTime = FormatTime(bootedAt);
    f.runningTime = FormatUptime(std::chrono::duration_cast<std::chrono::seconds>(now - bootedAt));
    f.softwareVer = softwareVer;
    f.devName = name;
    f.hardwareVer = hardwareVer;
    f.deviceActivated = activated;
    f.softwareBuildDate = buildDate;
    f.kernelVer = kernelVer;
    f.productModel = model;
    f.build = build;
    if (!legacy) {
        f.publicKeyHex = scanix::proto::crypto::Hex(publicKey);
        f.saltHex = scanix::proto::crypto::Hex(salt);
    }
    return f;
}

int SimDevice::ApplySetIp(const std::map<std::string, std::string>& request)
{
    if (Get(request, "password") != password) {
        return 1;
    }
    const std::string newIp = Get(request, "ipAddr");
    const std::string newMask = Get(request, "maskAddr");
    const std::string newRoute = Get(request, "route");
    if (!IsIpv4(newIp) || !IsIpv4(newMask) || !IsIpv4(newRoute)) {
        return 1;
    }
    int newHttp = httpPort;
    int newData = dataPort;
    const std::string http = portsOverHttpOnly ? std::string() : Get(request, "httpPort");
    const std::string data = portsOverHttpOnly ? std::string() : Get(request, "dataPort");
    if ((!http.empty() && !ToPort(http, newHttp)) || (!data.empty() && !ToPort(data, newData))) {
        return 1;
    }
    ip = newIp;
    mask = newMask;
    gateway = newRoute;
    dhcp = Get(request, "dhcpSwitch") == "true";
    httpPort = newHttp;
    dataPort = newData;
    return 0;
}

bool SimDevice::RestoreDefault()
{
    if (!canRestore) {
        return false;
    }
    if (legacy) {
        password = kFactoryPassword;
        return true;
    }
    // Back to the state it left the factory in: no password at all until activated again.
    activated = 1;
    password.clear();
    Provision();
    return true;
}

void SimDevice::Provision()
{
    namespace crypto = scanix::proto::crypto;
    if (publicKey.empty()) {
        const crypto::KeyPair pair = crypto::GenerateX25519();
        privateKey = pair.privateKey;
        publicKey = pair.publicKey;
    }
    if (!Activated()) {
        password.clear();
        salt.clear();
        verifier.clear();
    } else if (salt.empty()) {
        salt = crypto::RandomBytes(crypto::kSaltBytes);
        verifier.clear();
    }
}

const std::string& SimDevice::ReportKeyFor(const std::string& searcherKey)
{
    auto found = reportKeys.find(searcherKey);
    if (found == reportKeys.end()) {
        // A few searchers at a time: forgetting one costs a key agreement, nothing more.
        if (reportKeys.size() >= 8) {
            reportKeys.erase(reportKeys.begin());
        }
        found = reportKeys.emplace(searcherKey, scanix::proto::ReportKey(privateKey, searcherKey)).first;
    }
    return found->second;
}

const std::string& SimDevice::Verifier()
{
    if (verifier.empty() && Activated() && !salt.empty()) {
        verifier = scanix::proto::crypto::DerivePasswordKey(password, salt);
    }
    return verifier;
}

bool SimDevice::Set(const std::string& key, const std::string& value)
{
    std::map<std::string, std::string*> texts = {{"type", &series},
                                                 {"ip", &ip},
                                                 {"mask", &mask},
                                                 {"gateway", &gateway},
                                                 {"ip2", &ip2},
                                                 {"dns1", &dns1},
                                                 {"dns2", &dns2},
                                                 {"encrypt", &encryptType},
                                                 {"ver", &softwareVer},
                                                 {"build", &build},
                                                 {"date", &buildDate},
                                                 {"hw", &hardwareVer},
                                                 {"kernel", &kernelVer},
                                                 {"model", &model},
                                                 {"name", &name},
                                                 {"password", &password}};
    std::map<std::string, int*> numbers = {{"data", &dataPort},
                                           {"http", &httpPort},
                                           {"rtsp", &rtspPort},
                                           {"httptype", &httpType},
                                           {"activated", &activated}};
    if (key == "password" || key == "activated") {
        // A new password or state: a new salt, so the old verifier is of no use to anyone.
        salt.clear();
        verifier.clear();
    }
    if (auto t = texts.find(key); t != texts.end()) {
        *t->second = value;
        Provision();
        return true;
    }
    if (auto n = numbers.find(key); n != numbers.end()) {
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0') {
            return false;
        }
        *n->second = static_cast<int>(number);
        Provision();
        return true;
    }
    if (key == "dhcp" || key == "restore" || key == "legacy") {
        if (value != "0" && value != "1") {
            return false;
        }
        (key == "dhcp" ? dhcp : key == "restore" ? canRestore : legacy) = value == "1";
        return true;
    }
    return false;
}
