#include "Listing.h"

#include "Console.h"
#include "Csv.h"

#include <algorithm>

namespace {

constexpr std::size_t kTableWidth = 80;
constexpr std::size_t kGap = 2;

// Caps that keep the default columns inside 80 characters: address with its mark, MAC, type.
std::size_t DefaultCap(const std::string& column)
{
    if (column == "model") {
        return 14;
    }
    if (column == "typeName") {
        return 16;
    }
    return 64;
}

std::string Title(const std::string& column)
{
    for (const DeviceField& field : DeviceFields()) {
        if (column == field.name) {
            return field.title;
        }
    }
    return column;
}

} // namespace

std::string JsonText(const nlohmann::ordered_json& json, int indent)
{
    return json.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string CheckColumns(const std::vector<std::string>& columns)
{
    for (const std::string& column : columns) {
        const auto& fields = DeviceFields();
        if (std::none_of(fields.begin(), fields.end(), [&](const DeviceField& f) { return column == f.name; })) {
            std::string known;
            for (const DeviceField& f : fields) {
                known += (known.empty() ? "" : ",") + std::string(f.name);
            }
            return "--columns: unknown column \"" + column + "\" (known: " + known + ")";
        }
    }
    return "";
}

void PrintTable(std::ostream& out,
                const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows,
                std::size_t widthLimit)
{
    std::vector<std::size_t> widths;
    for (const std::string& heading : headings) {
        widths.push_back(TextWidth(heading));
    }
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], TextWidth(row[i]));
        }
    }
    if (widthLimit > 0 && !widths.empty()) {
        std::size_t others = 0;
        for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
            others += widths[i] + kGap;
        }
        const std::size_t room = widthLimit > others + 4 ? widthLimit - others : 4;
        widths.back() = std::min(widths.back(), room);
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const bool last = i + 1 == widths.size();
            text += FitText(i < cells.size() ? cells[i] : "", widths[i], !last);
            text += last ? "" : std::string(kGap, ' ');
        }
        out << text << '\n';
    };
    line(headings);
    for (const auto& row : rows) {
        line(row);
    }
}

void PrintListing(std::ostream& out,
                  const std::vector<DeviceView>& views,
                  const std::string& format,
                  const std::vector<std::string>& columns)
{
    std::vector<std::string> chosen = columns;
    if (chosen.empty() && format == "table") {
        chosen = DefaultTableColumns();
    } else if (chosen.empty()) {
        for (const DeviceField& field : DeviceFields()) {
            chosen.push_back(field.name);
        }
    }
    if (format == "json") {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const DeviceView& view : views) {
            const nlohmann::ordered_json all = DeviceJson(view);
            nlohmann::ordered_json item;
            for (const std::string& column : chosen) {
                item[column] = all[column];
            }
            list.push_back(item);
        }
        out << JsonText(list, 2) << '\n';
        return;
    }
    if (format == "csv") {
        out << CsvLine(chosen);
        for (const DeviceView& view : views) {
            const nlohmann::ordered_json all = DeviceJson(view);
            std::vector<std::string> cells;
            for (const std::string& column : chosen) {
                cells.push_back(DeviceText(view, all, column, false));
            }
            out << CsvLine(cells);
        }
        return;
    }
    std::vector<std::string> headings;
    for (const std::string& column : chosen) {
        headings.push_back(Title(column));
    }
    std::vector<std::vector<std::string>> rows;
    const bool defaults = columns.empty();
    for (const DeviceView& view : views) {
        const nlohmann::ordered_json all = DeviceJson(view);
        std::vector<std::string> cells;
        for (const std::string& column : chosen) {
            std::string text = DeviceText(view, all, column, true);
            cells.push_back(defaults ? FitText(text, DefaultCap(column), false) : text);
        }
        rows.push_back(cells);
    }
    PrintTable(out, headings, rows, defaults ? kTableWidth : 0);
}
