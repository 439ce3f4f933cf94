#pragma once

// Prints a device listing in one of the scan formats.

#include "DeviceView.h"

#include <ostream>
#include <string>
#include <vector>

// Empty when every name is a field of DeviceFields(), else the message naming the first one.
std::string CheckColumns(const std::vector<std::string>& columns);

// format: "table", "json" or "csv"; columns empty: the defaults (the table's fit 80 columns,
// JSON and CSV carry every field).
void PrintListing(std::ostream& out,
                  const std::vector<DeviceView>& views,
                  const std::string& format,
                  const std::vector<std::string>& columns);

// A plain text table: headings, then rows, columns two blanks apart. Widths fit the content;
// with a width limit the last column is cut so no line is longer.
void PrintTable(std::ostream& out,
                const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows,
                std::size_t widthLimit = 0);

// JSON text that survives device texts which are not valid UTF-8.
std::string JsonText(const nlohmann::ordered_json& json, int indent = -1);
