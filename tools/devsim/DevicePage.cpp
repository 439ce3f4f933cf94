#include "DevicePage.h"

namespace {

std::string Escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Row(const char* caption, const char* id, const std::string& value)
{
    return std::string("<tr><th>") + caption + "</th><td id=\"" + id + "\">" + Escaped(value) + "</td></tr>\n";
}

} // namespace

std::string DevicePage(const SimDevice& device)
{
    const std::string title = Escaped(device.name.empty() ? device.model : device.name);
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title +
           "</title>\n<style>\nbody { font-family: sans-serif; background: #1e1f23; color: #cdcdcd; margin: 2em; }\n"
           "th { text-align: left; padding-right: 1.5em; color: #acacac; }\n</style>\n</head>\n<body>\n<h1>" +
           title + "</h1>\n<table>\n" + Row("Name", "name", device.name) + Row("Model", "model", device.model) +
           Row("Type", "type", device.series) + Row("Address", "address", device.ip) + Row("MAC", "mac", device.mac) +
           "</table>\n</body>\n</html>\n";
}
