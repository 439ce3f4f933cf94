#pragma once

// How devices are shown: readable type names and running times, the fields of the JSON and CSV
// output, address conflicts, and the order of a listing.

#include "DeviceInfo.h"

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// "IP Camera" for "QMX_IPC" and so on; empty for any other key.
std::string DeviceTypeName(const std::string& key);
// Accepts a type key ("QMX_NVR"), its short form ("NVR", any case) or its display name.
std::optional<std::string> DeviceTypeKey(const std::string& text);

// Seconds of running time: a plain number of seconds, or the older "N days HH:MM:SS" form.
std::optional<unsigned long> RunningSeconds(const std::string& text);
// "1d 1h 1min 1s": leading zero groups left out, empty for 0 or text that is no time.
std::string FormatRunTime(unsigned long seconds);

// One output field of a device.
struct DeviceField
{
    const char* name;  // JSON member and CSV/table column name
    const char* title; // table heading
};
const std::vector<DeviceField>& DeviceFields();
// The columns of the table when none are asked for: fit 80 characters.
const std::vector<std::string>& DefaultTableColumns();

struct DeviceView
{
    DEVICE_INFO device{};
    bool conflict = false; // another listed device has the same IPv4 address
};

// Sorted by IPv4 address (numerically; unreadable addresses last), then MAC, with conflicts marked.
std::vector<DeviceView> PrepareListing(const std::vector<DEVICE_INFO>& devices);
// Groups of MACs that share one address, for the warning on stderr: "ip: MAC, MAC" (after
// eight MACs, "and N more").
std::vector<std::string> ConflictGroups(const std::vector<DeviceView>& views);

// Every field with its JSON type: numbers as numbers, activation as a boolean or null.
nlohmann::ordered_json DeviceJson(const DeviceView& view);
// The field as text for a table or a CSV cell (display names, formatted running time).
std::string DeviceText(const DeviceView& view, const std::string& field, bool forTable);
// The same from the device's JSON made once (listings of many fields and devices).
std::string
DeviceText(const DeviceView& view, const nlohmann::ordered_json& json, const std::string& field, bool forTable);
