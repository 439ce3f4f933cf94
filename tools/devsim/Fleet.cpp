#include "Fleet.h"

#include "WireMac.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <random>
#include <sstream>

namespace {

std::uint32_t ToHost(const std::string& text, bool& ok)
{
    in_addr address{};
    ok = inet_pton(AF_INET, text.c_str(), &address) == 1;
    return ntohl(address.s_addr);
}

std::string ToText(std::uint32_t host)
{
    in_addr address{};
    address.s_addr = htonl(host);
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

// Short model prefix per type, for names and models that read like the real thing.
std::string Short(const std::string& series)
{
    const std::size_t underscore = series.find('_');
    return underscore == std::string::npos ? series : series.substr(underscore + 1);
}

} // namespace

const std::vector<std::string>& Fleet::MakerTypes()
{
    static const std::vector<std::string> types = {
        "QMX_IPC", "QMX_NVR", "QMX_DVR", "QMX_MDVR", "QMX_DECODER", "QMX_STORAGE", "QMX_NETKEYBOARD"};
    return types;
}

const std::vector<std::string>& Fleet::ForeignTypes()
{
    static const std::vector<std::string> types = {"NVX_IPC", "ZEN_NVR", "HKV_DVR"};
    return types;
}

SimDevice Fleet::Make(const FleetPlan& plan, std::uint32_t index, const std::string& series) const
{
    std::mt19937 random(plan.seed * 7919u + index);
    bool ok = false;
    const std::uint32_t first = ToHost(plan.firstIp, ok);
    const std::uint32_t mask = plan.prefix == 0 ? 0 : ~0u << (32 - plan.prefix);
    const std::uint32_t ip = first + index;

    SimDevice d;
    const unsigned char mac[6] = {0x02,
                                  0x5C,
                                  static_cast<unsigned char>(plan.seed),
                                  static_cast<unsigned char>(index >> 16),
                                  static_cast<unsigned char>(index >> 8),
                                  static_cast<unsigned char>(index)};
    d.mac = scanix::proto::FormatMac(mac);
    d.series = series;
    d.ip = ToText(ip);
    d.mask = ToText(mask);
    d.gateway = plan.gateway.empty() ? ToText((first & mask) + 1) : plan.gateway;
    d.dhcp = index % 9 == 8;
    d.ip2 = "169.254." + std::to_string(mac[4] % 254 + 1) + "." + std::to_string(mac[5] % 254 + 1);
    d.dns1 = d.gateway;
    d.dns2 = "8.8.4.4";
    d.encryptType = index % 2 == 0 ? "md5" : "sha256";
    d.dataPort = 6036 + static_cast<int>(index % 4);
    d.httpPort = index % 5 == 4 ? 8080 : 80;
    d.rtspPort = series == "QMX_NETKEYBOARD" ? -1 : 554;
    d.httpType = index % 5 == 4 ? 1 : 0;
    d.softwareVer = "V5." + std::to_string(random() % 4) + "." + std::to_string(random() % 20);
    if (index % 4 == 3) {
        d.softwareVer += " beta";
    }
    d.build = index % 3 == 0 ? "2403" + std::to_string(10 + random() % 20) : "";
    d.buildDate = "2024-03-" + std::to_string(10 + random() % 19);
    d.hardwareVer = "HW1." + std::to_string(random() % 5);
    d.kernelVer = "4.9." + std::to_string(100 + random() % 200);
    d.model = Short(series) + "-" + std::to_string(2000 + random() % 900);
    d.name = Short(series) + "-" + std::to_string(index + 1);
    // The wire value: every sixth device waits for activation, the others have a password.
    d.activated = index % 6 == 5 ? 1 : 0;
    d.password = "Admin123";
    d.Provision();
    d.canRestore = series != "QMX_MDVR" && series != "QMX_DECODER" && series != "QMX_NETKEYBOARD";
    d.bootedAt = std::chrono::system_clock::now() - std::chrono::seconds(600 + random() % 2000000);
    return d;
}

bool Fleet::Generate(const FleetPlan& plan, std::string& error)
{
    bool ok = false;
    ToHost(plan.firstIp, ok);
    if (!ok || plan.prefix < 1 || plan.prefix > 30) {
        error = "bad first address or prefix";
        return false;
    }
    if (plan.count < 0 || plan.foreign < 0 || plan.count + plan.foreign > 65000) {
        error = "device count out of range (0..65000)";
        return false;
    }
    std::vector<std::string> types = plan.types.empty() ? MakerTypes() : Split(plan.types, ',');
    for (const std::string& t : types) {
        const auto& known = MakerTypes();
        const auto& foreign = ForeignTypes();
        if (std::find(known.begin(), known.end(), t) == known.end() &&
            std::find(foreign.begin(), foreign.end(), t) == foreign.end()) {
            error = "unknown device type " + t;
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_devices.clear();
    for (int i = 0; i < plan.count; ++i) {
        m_devices.push_back(
            Make(plan, static_cast<std::uint32_t>(i), types[static_cast<std::size_t>(i) % types.size()]));
    }
    for (int i = 0; i < plan.foreign; ++i) {
        const auto& foreign = ForeignTypes();
        m_devices.push_back(Make(
            plan, static_cast<std::uint32_t>(plan.count + i), foreign[static_cast<std::size_t>(i) % foreign.size()]));
    }
    return true;
}

bool Fleet::Load(const std::string& path, const FleetPlan& plan, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::vector<SimDevice> devices;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto index = static_cast<std::uint32_t>(devices.size());
        SimDevice device = Make(plan, index, MakerTypes()[index % MakerTypes().size()]);
        for (const std::string& pair : Split(line, ' ')) {
            const std::size_t equals = pair.find('=');
            const std::string key = pair.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : pair.substr(equals + 1);
            bool good = equals != std::string::npos;
            if (good && key == "mac") {
                device.mac = scanix::proto::NormalizeMac(value);
                good = !device.mac.empty();
            } else if (good) {
                good = device.Set(key, value);
            }
            if (!good) {
                error = path + ":" + std::to_string(lineNumber) + ": bad field '" + pair + "'";
                return false;
            }
        }
        devices.push_back(device);
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_devices = std::move(devices);
    return true;
}

SimDevice* Fleet::Find(const std::string& mac)
{
    for (SimDevice& d : m_devices) {
        if (d.mac == mac) {
            return &d;
        }
    }
    return nullptr;
}
