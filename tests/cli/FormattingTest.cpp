#include "Console.h"
#include "DeviceView.h"
#include "Listing.h"

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

} // namespace
