#include "CSearchResult.h"

#include "TestDocuments.h"

#include <climits>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

namespace {

// Reads text into a zero-filled record; returns whether it was accepted.
bool Read(const std::string& text, DEVICE_INFO& info)
{
    info = DEVICE_INFO{};
    return CSearchResult::ReadDevice(text.c_str(), info);
}

// A minimal document: the root around body.
std::string Doc(const std::string& body)
{
    return "<multicastSearchResult>" + body + "</multicastSearchResult>";
}

} // namespace

TEST(CSearchResult, ReadsEveryFieldOfARecordedCameraReport)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(Read(LoadDocument("ipc_found.xml"), d));
    EXPECT_STREQ(d.devName, "Gate camera");
    EXPECT_STREQ(d.ipAddr, "192.168.1.64");
    EXPECT_STREQ(d.mask, "255.255.255.0");
    EXPECT_STREQ(d.route, "192.168.1.1");
    EXPECT_STREQ(d.ipAddr2, "169.254.12.34");
    EXPECT_STREQ(d.dns1, "8.8.8.8");
    EXPECT_STREQ(d.dns2, "8.8.4.4");
    EXPECT_EQ(d.dataPort, 9008);
    EXPECT_EQ(d.httpPort, 80);
    EXPECT_EQ(d.rtspPort, 554);
    EXPECT_STREQ(d.mac, "");
    EXPECT_STREQ(d.productSeries, "QMX_IPC");
    EXPECT_STREQ(d.softwareVer, "V2.1.0(231)");
    EXPECT_STREQ(d.softwareBulildDate, "2026-03-01");
    EXPECT_STREQ(d.hardwareVer, "H1.0");
    EXPECT_STREQ(d.kernelVer, "K3.10");
    EXPECT_STREQ(d.productModel, "IPC-4K-B");
    EXPECT_STREQ(d.runningTime, "0 days 12:30:05");
    EXPECT_STREQ(d.bootTime, "2026-12-07 08:00:00");
    EXPECT_FALSE(d.dhcpSwitch);
    EXPECT_STREQ(d.encryptType, "md5");
    EXPECT_EQ(d.deviceActivated, 1);
    EXPECT_EQ(d.httpType, 1);
}

TEST(CSearchResult, ReadsARecorderReportWithoutRtspPortOrBuild)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(Read(LoadDocument("nvr_found.xml"), d));
    EXPECT_STREQ(d.ipAddr, "172.16.0.10");
    EXPECT_STREQ(d.ipAddr2, "");
    EXPECT_TRUE(d.dhcpSwitch);
    EXPECT_STREQ(d.dns2, "");
    EXPECT_EQ(d.dataPort, 6036);
    EXPECT_EQ(d.httpPort, 8080);
    EXPECT_EQ(d.rtspPort, 0);
    EXPECT_STREQ(d.softwareVer, "V5.0.3_beta");
    EXPECT_EQ(d.deviceActivated, 0);
    EXPECT_EQ(d.httpType, 0);
}

TEST(CSearchResult, TextsTooLongForTheRecordAreCutOnACharacterAndMarked)
{
    // A text that fits (width minus one byte) is kept whole; a longer one keeps as much as fits
    // before the three-byte mark "…", never half a character.
    struct Case
    {
        const char* element;
        std::string text;
        std::string expected;
    };
    const std::string long70(70, 'n');
    const Case cases[] = {
        {"devName", "Gate camera", "Gate camera"},
        {"devName", long70.substr(0, 31), long70.substr(0, 31)},
        {"devName", long70, long70.substr(0, 28) + "…"},
        {"devName", "北门入口摄像机一号北", "北门入口摄像机一号北"},
        {"devName", "北门入口摄像机一号北门", "北门入口摄像机一号…"},
        {"devName", "Камера-въезд-северные-ворота", "Камера-въезд-се…"},
        {"devName", "Gate🚪🚪🚪🚪🚪🚪🚪🚪", "Gate🚪🚪🚪🚪🚪🚪…"},
        // Not UTF-8 at all: a run of continuation bytes is cut where the width ends.
        {"devName", std::string(40, '\x80'), std::string(28, '\x80') + "…"},
        {"productModel", "IPC-4K-B-Ультра-длинная", "IPC-4K-B-Ультр…"},
        {"runningTime", long70, long70.substr(0, 60) + "…"},
        {"kernelVer", "0123456789abcdef", "0123456789ab…"},
        // A cut address must not read as another, shorter address.
        {"ip", "192.168.100.1001234567", "192.168.100.1001…"},
        {"encryptType", long70, long70.substr(0, 15) + "…"},
    };
    const struct
    {
        const char* element;
        std::string original;
    } originals[] = {{"devName", "<devName>Gate camera</devName>"},
                     {"productModel", "<productModel>IPC-4K-B</productModel>"},
                     {"runningTime", "<runningTime>0 days 12:30:05</runningTime>"},
                     {"kernelVer", "<kernelVer>K3.10</kernelVer>"},
                     {"ip", "<ip>192.168.1.64</ip>"},
                     {"encryptType", "<encryptType>md5</encryptType>"}};
    for (const Case& c : cases) {
        std::string doc = LoadDocument("ipc_found.xml");
        for (const auto& original : originals) {
            if (std::strcmp(original.element, c.element) == 0) {
                const std::string tag(c.element);
                doc = Replaced(doc, original.original, "<" + tag + ">" + c.text + "</" + tag + ">");
            }
        }
        DEVICE_INFO d{};
        ASSERT_TRUE(Read(doc, d)) << c.element << " " << c.text;
        const std::string element(c.element);
        const char* got = element == "devName"        ? d.devName
                          : element == "productModel" ? d.productModel
                          : element == "runningTime"  ? d.runningTime
                          : element == "kernelVer"    ? d.kernelVer
                          : element == "ip"           ? d.ipAddr
                                                      : d.encryptType;
        EXPECT_EQ(std::string(got), c.expected) << c.element << " " << c.text;
        // The next field starts intact after each cut one.
        EXPECT_STREQ(d.mask, "255.255.255.0");
        EXPECT_EQ(d.deviceActivated, 1);
    }
}

TEST(CSearchResult, PortsOutsideTheirRangeCountAsMissing)
{
    struct Case
    {
        const char* text;
        int port;
    };
    for (const Case& c : {Case{"8080", 8080},
                          Case{"1", 1},
                          Case{"65535", 65535},
                          Case{"0", 0},
                          Case{"-5", 0},
                          Case{"65536", 0},
                          Case{"2147483647", 0},
                          Case{"99999999999", 0},
                          Case{"http", 0}}) {
        DEVICE_INFO d{};
        const std::string port = c.text;
        ASSERT_TRUE(Read(Doc("<port><dataPort>" + port + "</dataPort><httpPort>" + port + "</httpPort><rtspPort>" +
                             port + "</rtspPort></port>"),
                         d));
        EXPECT_EQ(d.dataPort, c.port) << c.text;
        EXPECT_EQ(d.httpPort, c.port) << c.text;
        EXPECT_EQ(d.rtspPort, c.port) << c.text;
    }
}

TEST(CSearchResult, BuildIsAppendedToTheSoftwareVersion)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(Read(
        Doc("<productInfo/><tcpIp/><productInfo><softwareVer>1.0</softwareVer><build>5</build></productInfo>"), d));
    EXPECT_STREQ(d.softwareVer, "1.0(5)");
    ASSERT_TRUE(Read(Doc("<productInfo/><tcpIp/><productInfo><build>5</build></productInfo>"), d));
    EXPECT_STREQ(d.softwareVer, "(5)");
    // Composed, then cut to the field: never written past it.
    ASSERT_TRUE(Read(Doc("<productInfo/><tcpIp/><productInfo><softwareVer>V1.2.3.4_beta</softwareVer><build>20261207</"
                         "build></productInfo>"),
                     d));
    EXPECT_STREQ(d.softwareVer, "V1.2.3.4_bet…");
    EXPECT_EQ(d.softwareBulildDate[0], '\0');
}

TEST(CSearchResult, DocumentWithoutProductInfoIsAccepted)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(Read(
        Doc("<tcpIp><ipAddr><item><ip>10.0.0.8</ip></item></ipAddr></tcpIp><port><dataPort>1</dataPort></port>"), d));
    EXPECT_STREQ(d.ipAddr, "10.0.0.8");
    EXPECT_EQ(d.dataPort, 1);
    EXPECT_STREQ(d.productSeries, "");
    EXPECT_STREQ(d.devName, "");
    ASSERT_TRUE(Read(Doc(""), d));
    DEVICE_INFO empty{};
    EXPECT_EQ(std::memcmp(&d, &empty, sizeof d), 0);
}

TEST(CSearchResult, OnlyProductInfoBeforeTcpIpLeavesProductFieldsEmpty)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(Read(Doc("<productInfo><productSeries>QMX_DVR</productSeries><devName>Dvr</devName></productInfo>"
                         "<tcpIp><ipAddr><item><ip>10.0.0.9</ip></item></ipAddr></tcpIp>"),
                     d));
    EXPECT_STREQ(d.ipAddr, "10.0.0.9");
    EXPECT_STREQ(d.productSeries, "");
    EXPECT_STREQ(d.devName, "");
}

TEST(CSearchResult, ElementsAreReadStrictlyForward)
{
    DEVICE_INFO d{};
    // dns1 before ipAddr, httpPort before dataPort, httpType before port, softwareVer before bootTime.
    ASSERT_TRUE(Read(
        Doc("<productInfo><productSeries>QMX_IPC</productSeries></productInfo>"
            "<tcpIp><dns1>1.1.1.1</dns1><ipAddr><item><ip>10.0.0.7</ip></item></ipAddr><dns2>2.2.2.2</dns2></tcpIp>"
            "<httpType>1</httpType>"
            "<port><httpPort>81</httpPort><dataPort>9000</dataPort><rtspPort>554</rtspPort></port>"
            "<productInfo><softwareVer>V1</softwareVer><bootTime>b</bootTime><devName>n</devName></productInfo>"),
        d));
    EXPECT_STREQ(d.ipAddr, "10.0.0.7");
    EXPECT_STREQ(d.dns1, "");
    EXPECT_STREQ(d.dns2, "2.2.2.2");
    EXPECT_EQ(d.dataPort, 9000);
    EXPECT_EQ(d.httpPort, 0);
    EXPECT_EQ(d.rtspPort, 554);
    EXPECT_EQ(d.httpType, 0);
    EXPECT_STREQ(d.bootTime, "b");
    EXPECT_STREQ(d.softwareVer, "");
    EXPECT_STREQ(d.devName, "n");
}

TEST(CSearchResult, ItemChildrenMayComeInAnyOrder)
{
    DEVICE_INFO d{};
    ASSERT_TRUE(
        Read(Doc("<tcpIp><ipAddr><item><dhcpSwitch>true</dhcpSwitch><route>10.0.0.1</route><mask>255.0.0.0</mask>"
                 "<ip>10.0.0.5</ip></item><item><mask>x</mask><ip>10.0.0.6</ip></item></ipAddr></tcpIp>"),
             d));
    EXPECT_STREQ(d.ipAddr, "10.0.0.5");
    EXPECT_STREQ(d.mask, "255.0.0.0");
    EXPECT_STREQ(d.route, "10.0.0.1");
    EXPECT_TRUE(d.dhcpSwitch);
    EXPECT_STREQ(d.ipAddr2, "10.0.0.6");
}

TEST(CSearchResult, DhcpSwitchIsTrueOnlyForLowerCaseTrue)
{
    for (const char* text : {"TRUE", "True", "1", "yes", "true ", ""}) {
        DEVICE_INFO d{};
        ASSERT_TRUE(Read(
            Doc(std::string("<tcpIp><ipAddr><item><dhcpSwitch>") + text + "</dhcpSwitch></item></ipAddr></tcpIp>"), d));
        EXPECT_FALSE(d.dhcpSwitch) << text;
    }
}

TEST(CSearchResult, ForeignSeriesIsRefused)
{
    DEVICE_INFO d{};
    const std::string camera = LoadDocument("ipc_found.xml");
    EXPECT_FALSE(
        Read(Replaced(camera, "<productSeries>QMX_IPC</productSeries>", "<productSeries>ACME_IPC</productSeries>"), d));
    EXPECT_FALSE(
        Read(Replaced(camera, "<productSeries>QMX_IPC</productSeries>", "<productSeries></productSeries>"), d));
    // Names are case-sensitive, and so is the maker's prefix.
    EXPECT_FALSE(
        Read(Replaced(camera, "<productSeries>QMX_IPC</productSeries>", "<productSeries>qmx_ipc</productSeries>"), d));
    EXPECT_TRUE(Read(
        Replaced(camera, "<productSeries>QMX_IPC</productSeries>", "<productSeries>QMX_NETKEYBOARD</productSeries>"),
        d));
    // No series in the first product block passes.
    EXPECT_TRUE(Read(Replaced(camera, "<productSeries>QMX_IPC</productSeries>", ""), d));
}

TEST(CSearchResult, WrongRootOrNoDocumentIsRejected)
{
    DEVICE_INFO d{};
    EXPECT_FALSE(CSearchResult::ReadDevice(nullptr, d));
    EXPECT_FALSE(Read("", d));
    EXPECT_FALSE(Read("plain text", d));
    EXPECT_FALSE(Read("<multicastSearch><tcpIp/></multicastSearch>", d));
    EXPECT_FALSE(Read("<multicastSearchResultX/>", d));
    EXPECT_FALSE(Read("<reply><multicastSearchResult/></reply>", d));
}

TEST(CSearchResult, EveryTruncatedReportIsRejected)
{
    // Each prefix ends its own heap buffer, so a read past the end shows under the address
    // sanitiser. A report cut short must not pass as a device with half its fields.
    const std::string camera = LoadDocument("ipc_found.xml");
    const std::string rootEnd = "</multicastSearchResult>";
    const std::size_t complete = camera.find(rootEnd) + rootEnd.size();
    for (std::size_t length = 0; length <= camera.size(); ++length) {
        std::unique_ptr<char[]> text(new char[length + 1]);
        std::memcpy(text.get(), camera.data(), length);
        text[length] = '\0';
        DEVICE_INFO d{};
        EXPECT_EQ(CSearchResult::ReadDevice(text.get(), d), length >= complete) << length;
    }
}

TEST(CSearchResult, MalformedDocumentsAreRejected)
{
    DEVICE_INFO d{};
    const std::string camera = LoadDocument("ipc_found.xml");
    EXPECT_FALSE(Read(Replaced(camera, "</port>", ""), d));
    EXPECT_FALSE(Read(Replaced(camera, "<dns1>8.8.8.8</dns1>", "<dns1>8.8.8.8</dns2>"), d));
    EXPECT_FALSE(Read(Replaced(camera, "<httpType>", "<1httpType>"), d));
    EXPECT_FALSE(Read(camera + "<multicastSearchResult/>", d));
    int code = -1;
    EXPECT_FALSE(CSearchResult::ReadSetIPResult(Doc("<setIPResult>0</setIPResult").c_str(), code));
    EXPECT_FALSE(CSearchResult::ReadSetIPResult(Doc("<setIPResult>0</setIPResult>").substr(0, 40).c_str(), code));
    EXPECT_EQ(code, -1);
}

TEST(CSearchResult, ReadsTheConfigurationResult)
{
    int code = -5;
    EXPECT_TRUE(CSearchResult::ReadSetIPResult(LoadDocument("setip_answer.xml").c_str(), code));
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(CSearchResult::ReadSetIPResult(Doc("<productInfo/><setIPResult>0</setIPResult>").c_str(), code));
    EXPECT_EQ(code, 0);
    code = -5;
    EXPECT_FALSE(CSearchResult::ReadSetIPResult(Doc("<productInfo/>").c_str(), code));
    EXPECT_FALSE(CSearchResult::ReadSetIPResult("<answer><setIPResult>0</setIPResult></answer>", code));
    EXPECT_FALSE(CSearchResult::ReadSetIPResult(nullptr, code));
    EXPECT_EQ(code, -5);
}

TEST(CSearchResult, IntegersFollowTheLeadingDigitsRule)
{
    struct Case
    {
        const char* text;
        int value;
    };
    for (const Case& c : {Case{"554", 554},
                          Case{"  80", 80},
                          Case{"-3", -3},
                          Case{"+7", 7},
                          Case{"12abc", 12},
                          Case{"abc", 0},
                          Case{"", 0},
                          Case{"0x10", 0},
                          Case{"2147483647", INT_MAX},
                          Case{"99999999999999999999", INT_MAX},
                          Case{"-99999999999999999999", INT_MIN}}) {
        EXPECT_EQ(CSearchResult::ParseInt(c.text), c.value) << c.text;
    }
}
