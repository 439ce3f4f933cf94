#pragma once

// A site's device inventory: written in the formats of `scan` (JSON, CSV), read back from a
// saved file and compared with the devices found now.

#include "DeviceInfo.h"

#include <string>
#include <vector>

// The devices in `scan --format json|csv` text, every field, sorted as `scan` sorts them.
std::string InventoryText(const std::vector<DEVICE_INFO>& devices, const std::string& format);

// What a comparison needs of one device.
struct InventoryDevice
{
    std::string mac, ip, name, model, typeName, softwareVersion;
};

// Reads a saved inventory: a JSON array of objects or CSV with a header row, as written above
// (fields other than those kept are ignored; `mac` is required). False with a message when the
// text is neither, a row lacks a readable MAC, or a MAC is listed twice.
bool ReadInventory(const std::string& text, std::vector<InventoryDevice>& devices, std::string& error);

// The devices found now, in the same shape.
std::vector<InventoryDevice> InventoryOf(const std::vector<DEVICE_INFO>& devices);

enum class InventoryChange
{
    Missing, // in the saved inventory, not found now
    New,     // found now, not in the saved inventory
    Changed  // both, with another address or software version
};

struct InventoryDifference
{
    InventoryChange kind;
    InventoryDevice saved; // empty for New
    InventoryDevice live;  // empty for Missing
    bool addressChanged = false;
    bool versionChanged = false;
};

// Matched by MAC; missing ones in saved order, then new and changed ones in live order.
std::vector<InventoryDifference> CompareInventory(const std::vector<InventoryDevice>& saved,
                                                  const std::vector<InventoryDevice>& live);
