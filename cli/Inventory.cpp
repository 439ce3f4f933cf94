#include "Inventory.h"

#include "Addressing.h"
#include "Csv.h"
#include "DeviceView.h"
#include "Listing.h"

#include <map>
#include <set>
#include <sstream>

namespace {

// A JSON member as text: inventories written by hand may carry numbers where texts belong.
std::string Member(const nlohmann::json& item, const char* name)
{
    const auto at = item.find(name);
    if (at == item.end() || at->is_null()) {
        return "";
    }
    return at->is_string() ? at->get<std::string>() : at->dump();
}

bool ReadJson(const std::string& text, std::vector<InventoryDevice>& devices, std::string& error)
{
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_array()) {
        error = "not a JSON array of devices";
        return false;
    }
    for (const auto& item : json) {
        if (!item.is_object()) {
            error = "an element of the JSON array is not an object";
            return false;
        }
        devices.push_back({Member(item, "mac"),
                           Member(item, "ip"),
                           Member(item, "name"),
                           Member(item, "model"),
                           Member(item, "typeName"),
                           Member(item, "softwareVersion")});
    }
    return true;
}

bool ReadCsvText(const std::string& text, std::vector<InventoryDevice>& devices, std::string& error)
{
    const CsvResult csv = ReadCsv(text);
    if (!csv.error.empty() || csv.rows.empty()) {
        error = csv.error.empty() ? "the file is empty" : csv.error;
        return false;
    }
    std::map<std::string, std::size_t> columns;
    for (std::size_t i = 0; i < csv.rows.front().fields.size(); ++i) {
        columns.emplace(csv.rows.front().fields[i], i);
    }
    if (columns.count("mac") == 0) {
        error = "the header row has no \"mac\" column";
        return false;
    }
    for (std::size_t r = 1; r < csv.rows.size(); ++r) {
        const CsvRow& row = csv.rows[r];
        const auto field = [&](const char* name) {
            const auto at = columns.find(name);
            return at != columns.end() && at->second < row.fields.size() ? row.fields[at->second] : std::string();
        };
        devices.push_back(
            {field("mac"), field("ip"), field("name"), field("model"), field("typeName"), field("softwareVersion")});
    }
    return true;
}

} // namespace

std::string InventoryText(const std::vector<DEVICE_INFO>& devices, const std::string& format)
{
    std::ostringstream out;
    PrintListing(out, PrepareListing(devices), format, {});
    return out.str();
}

bool ReadInventory(const std::string& text, std::vector<InventoryDevice>& devices, std::string& error)
{
    devices.clear();
    if (text.size() > kCsvMaxBytes * 16) {
        error = "the file is larger than 16 MiB";
        return false;
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    const bool json = first != std::string::npos && text[first] == '[';
    if (!(json ? ReadJson(text, devices, error) : ReadCsvText(text, devices, error))) {
        return false;
    }
    std::set<std::string> seen;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const std::optional<std::string> mac = NormaliseMac(devices[i].mac);
        if (!mac) {
            error = "device " + std::to_string(i + 1) + " has no readable MAC address";
            return false;
        }
        if (!seen.insert(*mac).second) {
            error = "MAC " + *mac + " is listed twice";
            return false;
        }
        devices[i].mac = *mac;
    }
    return true;
}

std::vector<InventoryDevice> InventoryOf(const std::vector<DEVICE_INFO>& devices)
{
    std::vector<InventoryDevice> out;
    out.reserve(devices.size());
    for (const DEVICE_INFO& d : devices) {
        // The same texts an export of this moment would carry.
        const nlohmann::json json = DeviceJson(DeviceView{d, false});
        out.push_back({NormaliseMac(d.mac).value_or(d.mac),
                       Member(json, "ip"),
                       Member(json, "name"),
                       Member(json, "model"),
                       Member(json, "typeName"),
                       Member(json, "softwareVersion")});
    }
    return out;
}

std::vector<InventoryDifference> CompareInventory(const std::vector<InventoryDevice>& saved,
                                                  const std::vector<InventoryDevice>& live)
{
    std::map<std::string, const InventoryDevice*> byMac;
    for (const InventoryDevice& device : live) {
        byMac.emplace(device.mac, &device);
    }
    std::map<std::string, const InventoryDevice*> savedByMac;
    std::vector<InventoryDifference> differences;
    for (const InventoryDevice& device : saved) {
        savedByMac.emplace(device.mac, &device);
        if (byMac.count(device.mac) == 0) {
            differences.push_back({InventoryChange::Missing, device, {}, false, false});
        }
    }
    for (const InventoryDevice& device : live) {
        const auto at = savedByMac.find(device.mac);
        if (at == savedByMac.end()) {
            differences.push_back({InventoryChange::New, {}, device, false, false});
            continue;
        }
        const InventoryDevice& before = *at->second;
        const bool address = before.ip != device.ip;
        const bool version = before.softwareVersion != device.softwareVersion;
        if (address || version) {
            differences.push_back({InventoryChange::Changed, before, device, address, version});
        }
    }
    return differences;
}
