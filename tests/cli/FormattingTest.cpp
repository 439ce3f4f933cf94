#include "Console.h"
#include "Csv.h"
#include "DeviceView.h"
#include "Listing.h"
#include "SafeText.h"

#include <sstream>

#include <gtest/gtest.h>

namespace {

DEVICE_INFO Device(const char* ip, const char* mac, const char* series = "QMX_IPC")
{
    DEVICE_INFO d{};
    CopyText(d.ipAddr, ip);
    CopyText(d.mac, mac);
    CopyText(d.productSeries, series);
    return d;
}

TEST(Formatting, TypeNamesAndRunningTimes)
{
    const std::pair<const char*, const char*> types[] = {{"QMX_IPC", "IP Camera"},
                                                         {"QMX_NETKEYBOARD", "Network Keyboard"},
                                                         {"QMX_STORAGE", "Storage Unit"},
                                                         {"qmx_ipc", ""},
                                                         {"NVX_IPC", ""},
                                                         {"", ""}};
    for (const auto& [key, name] : types) {
        EXPECT_EQ(DeviceTypeName(key), name) << key;
    }
    EXPECT_EQ(DeviceTypeKey("nvr"), "QMX_NVR");
    EXPECT_EQ(DeviceTypeKey("IP Camera"), "QMX_IPC");
    EXPECT_FALSE(DeviceTypeKey("toaster"));

    const std::pair<const char*, const char*> times[] = {{"90061", "1d 1h 1min 1s"},
                                                         {"59", "59s"},
                                                         {"3600", "1h 0min 0s"},
                                                         {"0", ""},
                                                         {"17 days 12:04:51", "17d 12h 4min 51s"},
                                                         {"0 days 00:01:00", "1min 0s"}};
    for (const auto& [text, shown] : times) {
        const auto seconds = RunningSeconds(text);
        ASSERT_TRUE(seconds) << text;
        EXPECT_EQ(FormatRunTime(*seconds), shown) << text;
    }
    for (const char* bad : {"", "soon", "12 days 25:00:00", "-5", "1e9"}) {
        EXPECT_FALSE(RunningSeconds(bad)) << bad;
    }
}

TEST(Formatting, ListingSortsByAddressAndMarksConflicts)
{
    const auto views = PrepareListing({Device("10.0.0.10", "02:00:00:00:00:03"),
                                       Device("10.0.0.9", "02:00:00:00:00:02"),
                                       Device("", "02:00:00:00:00:05"),
                                       Device("10.0.0.10", "02:00:00:00:00:01")});
    std::vector<std::string> order;
    for (const DeviceView& v : views) {
        order.push_back(v.device.mac);
    }
    EXPECT_EQ(
        order,
        (std::vector<std::string>{"02:00:00:00:00:02", "02:00:00:00:00:01", "02:00:00:00:00:03", "02:00:00:00:00:05"}));
    EXPECT_FALSE(views[0].conflict);
    EXPECT_TRUE(views[1].conflict && views[2].conflict);
    EXPECT_FALSE(views[3].conflict);
    EXPECT_EQ(ConflictGroups(views), (std::vector<std::string>{"10.0.0.10: 02:00:00:00:00:01, 02:00:00:00:00:03"}));
    // Ten devices on one address: eight named, the rest counted.
    std::vector<DEVICE_INFO> crowd;
    for (char last = '0'; last <= '9'; ++last) {
        crowd.push_back(Device("10.0.0.7", (std::string("02:00:00:00:00:0") + last).c_str()));
    }
    const auto groups = ConflictGroups(PrepareListing(crowd));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].rfind(", 02:00:00:00:00:07 and 2 more"), groups[0].size() - 30) << groups[0];
    EXPECT_EQ(groups[0].find("02:00:00:00:00:08"), std::string::npos) << groups[0];
    EXPECT_EQ(DeviceText(views[1], "ip", true), "!10.0.0.10");
    EXPECT_EQ(DeviceText(views[1], "ip", false), "10.0.0.10");
}

TEST(Formatting, DefaultTableFitsEightyColumnsAndJsonSurvivesBadText)
{
    DEVICE_INFO d = Device("192.168.100.200", "02:5C:01:00:00:06", "QMX_NETKEYBOARD");
    CopyText(d.productModel, "NETKEYBOARD-2583-EXTRA");
    CopyText(d.devName, "A very long device name here");
    d.deviceActivated = 7;
    std::ostringstream out;
    PrintListing(out, PrepareListing({d}), "table", {});
    std::istringstream lines(out.str());
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_LE(TextWidth(line), 80u) << line;
    }
    EXPECT_EQ(count, 2);

    CopyText(d.devName, "bad \xff text");
    std::ostringstream json;
    PrintListing(json, PrepareListing({d}), "json", {"name", "activated", "httpPort"});
    EXPECT_NE(json.str().find("\"activated\": null"), std::string::npos) << json.str();
    EXPECT_NE(json.str().find("\"httpPort\": 0"), std::string::npos) << json.str();
    EXPECT_EQ(json.str().find("\"mac\""), std::string::npos) << json.str();
}

// What a device (or a forger) can put in its texts, and what scanix-cli makes of it wherever it
// prints device texts: no byte that steers a terminal, only valid UTF-8, no spreadsheet formula.
TEST(Formatting, HostileDeviceTextsArePrintedHarmless)
{
    const std::string r = "\xEF\xBF\xBD"; // U+FFFD
    struct Case
    {
        const char* what;
        std::string text;
        std::string printed;
    };
    const Case cases[] = {
        {"plain", "IPC-1 Камера 摄像机", "IPC-1 Камера 摄像机"},
        {"escape sequence", "a\x1B[2Jb", "a" + r + "[2Jb"},
        {"C0 and line breaks", std::string("x\x01\t\r\ny\0", 7), "x" + r + r + r + r + "y" + r},
        {"DEL", "a\x7F", "a" + r},
        {"C1 CSI and NEL",
         "a\xC2\x9B"
         "31mb\xC2\x85",
         "a" + r + "31mb" + r},
        {"first after C1", "\xC2\xA0", "\xC2\xA0"},
        {"stray bytes", "a\xFF\x80z", "a" + r + r + "z"},
        {"overlong slash", "\xC0\xAF", r + r},
        {"surrogate", "\xED\xA0\x80", r + r + r},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
        {"cut sequence", "ab\xE6\x91", "ab" + r + r},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrintableText(c.text), c.printed) << c.what;
    }

    // Through the listing: the table, and CSV cells with formula quoting.
    DEVICE_INFO d = Device("10.0.0.1", "02:5C:01:00:00:01");
    CopyText(d.devName, "=HYPERLINK(\"x\")\x1B]0;t\x07");
    CopyText(d.productModel, "-2+3");
    CopyText(d.hardwareVer, "@SUM(A1)");
    CopyText(d.kernelVer, "+1");
    CopyText(d.softwareVer, "\tV1");
    CopyText(d.softwareBulildDate, "\r2024");
    std::ostringstream table;
    PrintListing(table, PrepareListing({d}), "table", {"name", "model"});
    EXPECT_EQ(table.str().find('\x1B'), std::string::npos) << table.str();
    EXPECT_EQ(table.str().find('\x07'), std::string::npos) << table.str();
    std::ostringstream csv;
    PrintListing(csv,
                 PrepareListing({d}),
                 "csv",
                 {"name", "model", "hardwareVersion", "kernelVersion", "softwareVersion", "buildDate", "ip"});
    const std::string row = csv.str().substr(csv.str().find("\r\n") + 2);
    // A tab or CR that began a device text is already a replacement character, nothing to quote.
    EXPECT_EQ(row,
              "\"'=HYPERLINK(\"\"x\"\")" + r + "]0;t" + r + "\",\"'-2+3\",\"'@SUM(A1)\",\"'+1\"," + r + "V1," + r +
                  "2024,10.0.0.1\r\n");
    const std::pair<const char*, const char*> cells[] = {
        {"=1+1", "\"'=1+1\""}, {"-5", "\"'-5\""}, {"\tx", "\"'\tx\""}, {"\rx", "\"'\rx\""}, {"a=b", "a=b"}, {"", ""}};
    for (const auto& [cell, written] : cells) {
        EXPECT_EQ(CsvField(cell), written) << cell;
    }

    // JSON keeps the text, every control character escaped.
    CopyText(d.devName, "a\x1B\x7F\xC2\x9B\xC2\xA0");
    std::ostringstream json;
    PrintListing(json, PrepareListing({d}), "json", {"name"});
    EXPECT_NE(json.str().find("\"a\\u001b\\u007f\\u009b\xC2\xA0\""), std::string::npos) << json.str();
    EXPECT_EQ(nlohmann::json::parse(json.str())[0]["name"], d.devName);

    // Input quoted back in messages is cut, and printable.
    EXPECT_EQ(EchoText(std::string(100000, 'A')), std::string(64, 'A') + "...");
    EXPECT_EQ(EchoText("ab\x1B", 2), "ab...");
    EXPECT_EQ(EchoText("Камера", 3), "Кам...");
    EXPECT_EQ(EchoText("a\x1B", 64), "a" + r);
}

} // namespace
