#include "Listing.h"

#include "Console.h"
#include "Csv.h"
#include "SafeText.h"

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
    const std::string text = json.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    // The dump escapes C0 but leaves DEL and C1 as they are, which a terminal may obey. In valid
    // JSON they can only stand inside strings, where an escape keeps the same text.
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0x7F) {
            escaped += "\\u007f";
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            static const char kHex[] = "0123456789abcdef";
            escaped += std::string("\\u00") + kHex[next >> 4] + kHex[next & 0xF];
            ++i;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
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
            return "--columns: unknown column \"" + EchoText(column) + "\" (known: " + known + ")";
        }
    }
    return "";
}

void PrintTable(std::ostream& out,
                const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows,
                std::size_t widthLimit)
{
    // Cells may carry device texts: only printable text reaches the terminal, and widths are
    // measured on what is printed.
    std::vector<std::size_t> widths;
    std::vector<std::vector<std::string>> printable;
    printable.push_back({});
    for (const std::string& heading : headings) {
        printable.back().push_back(PrintableText(heading));
        widths.push_back(TextWidth(printable.back().back()));
    }
    for (const auto& row : rows) {
        printable.push_back({});
        for (std::size_t i = 0; i < row.size(); ++i) {
            printable.back().push_back(PrintableText(row[i]));
            if (i < widths.size()) {
                widths[i] = std::max(widths[i], TextWidth(printable.back().back()));
            }
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
    for (const auto& row : printable) {
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
                cells.push_back(PrintableText(DeviceText(view, all, column, false)));
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
            std::string text = PrintableText(DeviceText(view, all, column, true));
            cells.push_back(defaults ? FitText(text, DefaultCap(column), false) : text);
        }
        rows.push_back(cells);
    }
    PrintTable(out, headings, rows, defaults ? kTableWidth : 0);
}
