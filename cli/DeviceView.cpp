#include "DeviceView.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cstdio>
#include <map>

namespace {

struct TypeName
{
    const char* key;
    const char* name;
};

// The English texts of the windowed tool's type names.
const TypeName kTypes[] = {
    {"QMX_IPC", "IP Camera"},
    {"QMX_DVR", "DVR"},
    {"QMX_NVR", "NVR"},
    {"QMX_MDVR", "Mobile DVR"},
    {"QMX_STORAGE", "Storage Unit"},
    {"QMX_DECODER", "Decoder"},
    {"QMX_NETKEYBOARD", "Network Keyboard"},
};

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 12 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Host-order value of a dotted address; readable addresses sort before the rest.
std::pair<int, unsigned long> SortKey(const char* ip)
{
    in_addr addr{};
    if (inet_pton(AF_INET, ip, &addr) != 1) {
        return {1, 0};
    }
    return {0, ntohl(addr.s_addr)};
}

nlohmann::ordered_json ActivationJson(int value)
{
    // 0 is activated and 1 not, as the devices report it; other values mean nothing known.
    if (value == 0) {
        return true;
    }
    if (value == 1) {
        return false;
    }
    return nullptr;
}

} // namespace

std::string DeviceTypeName(const std::string& key)
{
    for (const TypeName& type : kTypes) {
        if (key == type.key) {
            return type.name;
        }
    }
    return "";
}

std::optional<std::string> DeviceTypeKey(const std::string& text)
{
    const std::string wanted = Lower(text);
    for (const TypeName& type : kTypes) {
        const std::string key = Lower(type.key);
        if (wanted == key || wanted == key.substr(4) || wanted == Lower(type.name)) {
            return std::string(type.key);
        }
    }
    return std::nullopt;
}

std::optional<unsigned long> RunningSeconds(const std::string& text)
{
    if (AllDigits(text)) {
        return std::stoul(text);
    }
    unsigned long days = 0;
    unsigned int h = 0, m = 0, s = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%lu days %u:%u:%u%c", &days, &h, &m, &s, &tail) == 4 && h < 24 && m < 60 && s < 60) {
        return days * 86400 + h * 3600ul + m * 60ul + s;
    }
    return std::nullopt;
}

std::string FormatRunTime(unsigned long seconds)
{
    const unsigned long d = seconds / 86400, h = seconds % 86400 / 3600, m = seconds % 3600 / 60, r = seconds % 60;
    std::string text;
    const auto group = [&](unsigned long value, const char* unit) {
        text += (text.empty() ? "" : " ") + std::to_string(value) + unit;
    };
    if (d > 0) {
        group(d, "d");
    }
    if (d > 0 || h > 0) {
        group(h, "h");
    }
    if (d > 0 || h > 0 || m > 0) {
        group(m, "min");
    }
    if (seconds > 0) {
        group(r, "s");
    }
    return text;
}

const std::vector<DeviceField>& DeviceFields()
{
    static const std::vector<DeviceField> fields = {
        {"ip", "IP ADDRESS"},
        {"mac", "MAC"},
        {"type", "TYPE KEY"},
        {"typeName", "TYPE"},
        {"model", "MODEL"},
        {"name", "NAME"},
        {"mask", "MASK"},
        {"gateway", "GATEWAY"},
        {"ip2", "SECOND IP"},
        {"dns1", "DNS 1"},
        {"dns2", "DNS 2"},
        {"httpPort", "HTTP"},
        {"dataPort", "DATA"},
        {"rtspPort", "RTSP"},
        {"httpType", "HTTPS"},
        {"softwareVersion", "SOFTWARE"},
        {"buildDate", "BUILD DATE"},
        {"hardwareVersion", "HARDWARE"},
        {"kernelVersion", "KERNEL"},
        {"bootTime", "BOOT TIME"},
        {"runningTime", "RUNNING TIME"},
        {"runningSeconds", "SECONDS"},
        {"dhcp", "DHCP"},
        {"encryptType", "ENCRYPTION"},
        {"activated", "ACTIVATED"},
        {"conflict", "CONFLICT"},
    };
    return fields;
}

const std::vector<std::string>& DefaultTableColumns()
{
    static const std::vector<std::string> columns = {"ip", "mac", "typeName", "model", "name"};
    return columns;
}

std::vector<DeviceView> PrepareListing(const std::vector<DEVICE_INFO>& devices)
{
    std::vector<DeviceView> views;
    std::map<std::string, int> perAddress;
    for (const DEVICE_INFO& device : devices) {
        DeviceView view;
        view.device = device;
        views.push_back(view);
        if (device.ipAddr[0] != '\0') {
            ++perAddress[device.ipAddr];
        }
    }
    for (DeviceView& view : views) {
        view.conflict = view.device.ipAddr[0] != '\0' && perAddress[view.device.ipAddr] > 1;
    }
    std::sort(views.begin(), views.end(), [](const DeviceView& a, const DeviceView& b) {
        const auto ka = SortKey(a.device.ipAddr), kb = SortKey(b.device.ipAddr);
        if (ka != kb) {
            return ka < kb;
        }
        const int byText = std::string(a.device.ipAddr).compare(b.device.ipAddr);
        return byText != 0 ? byText < 0 : std::string(a.device.mac) < std::string(b.device.mac);
    });
    return views;
}

std::vector<std::string> ConflictGroups(const std::vector<DeviceView>& views)
{
    constexpr std::size_t kMacsPerGroup = 8;
    std::vector<std::string> groups;
    for (std::size_t i = 0; i < views.size();) {
        std::size_t j = i + 1;
        while (j < views.size() && std::string(views[j].device.ipAddr) == views[i].device.ipAddr) {
            ++j;
        }
        if (views[i].conflict) {
            // A flood of invented devices on one address must not become a line of megabytes.
            std::string group = std::string(views[i].device.ipAddr) + ":";
            for (std::size_t k = i; k < j && k < i + kMacsPerGroup; ++k) {
                group += (k > i ? ", " : " ") + std::string(views[k].device.mac);
            }
            if (j - i > kMacsPerGroup) {
                group += " and " + std::to_string(j - i - kMacsPerGroup) + " more";
            }
            groups.push_back(group);
        }
        i = j;
    }
    return groups;
}

nlohmann::ordered_json DeviceJson(const DeviceView& view)
{
    const DEVICE_INFO& d = view.device;
    const std::optional<unsigned long> seconds = RunningSeconds(d.runningTime);
    nlohmann::ordered_json json;
    json["ip"] = d.ipAddr;
    json["mac"] = d.mac;
    json["type"] = d.productSeries;
    json["typeName"] = DeviceTypeName(d.productSeries);
    json["model"] = d.productModel;
    json["name"] = d.devName;
    json["mask"] = d.mask;
    json["gateway"] = d.route;
    json["ip2"] = d.ipAddr2;
    json["dns1"] = d.dns1;
    json["dns2"] = d.dns2;
    json["httpPort"] = d.httpPort;
    json["dataPort"] = d.dataPort;
    json["rtspPort"] = d.rtspPort;
    json["httpType"] = d.httpType;
    json["softwareVersion"] = d.softwareVer;
    json["buildDate"] = d.softwareBulildDate;
    json["hardwareVersion"] = d.hardwareVer;
    json["kernelVersion"] = d.kernelVer;
    json["bootTime"] = d.bootTime;
    json["runningTime"] = d.runningTime;
    json["runningSeconds"] = seconds ? nlohmann::ordered_json(*seconds) : nlohmann::ordered_json(nullptr);
    json["dhcp"] = d.dhcpSwitch;
    json["encryptType"] = d.encryptType;
    json["activated"] = ActivationJson(d.deviceActivated);
    json["conflict"] = view.conflict;
    return json;
}

std::string DeviceText(const DeviceView& view, const std::string& field, bool forTable)
{
    return DeviceText(view, DeviceJson(view), field, forTable);
}

std::string
DeviceText(const DeviceView& view, const nlohmann::ordered_json& json, const std::string& field, bool forTable)
{
    const DEVICE_INFO& d = view.device;
    if (field == "ip" && forTable) {
        // The mark makes a clash visible without a column of its own.
        return std::string(view.conflict ? "!" : "") + d.ipAddr;
    }
    if (field == "runningTime" && forTable) {
        const std::optional<unsigned long> seconds = RunningSeconds(d.runningTime);
        return seconds ? FormatRunTime(*seconds) : std::string(d.runningTime);
    }
    if (field == "activated" && forTable) {
        return d.deviceActivated == 0 ? "yes" : (d.deviceActivated == 1 ? "no" : "");
    }
    const auto found = json.find(field);
    if (found == json.end()) {
        return "";
    }
    const nlohmann::ordered_json& value = *found;
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.is_null() ? std::string() : value.dump();
}
