#include "Messages.h"

#include "ProtocolConstants.h"

#include <gtest/gtest.h>

using namespace scanix::proto;

namespace {

DeviceFields Camera()
{
    DeviceFields d;
    d.mac = "02:5C:01:00:00:00";
    d.event = kEventReply;
    d.productSeries = "QMX_IPC";
    d.ip = "192.168.1.64";
    d.mask = "255.255.255.0";
    d.route = "192.168.1.1";
    d.ip2 = "169.254.1.1";
    d.dataPort = 6036;
    d.httpPort = 80;
    d.rtspPort = 554;
    d.bootTime = "2026-12-01 10:00:00";
    d.runningTime = "6 days 00:00:00";
    d.softwareVer = "V5.1.2";
    d.devName = "IPC-1";
    d.build = "240310";
    return d;
}

} // namespace

TEST(Messages, ReplyReadsBackWithItsMacAndEvent)
{
    const Incoming in = ReadMessage(BuildResult(Camera()));
    EXPECT_EQ(Incoming::Type::Result, in.type);
    EXPECT_EQ("02:5C:01:00:00:00", in.mac);
    EXPECT_EQ("reply", in.event);
    EXPECT_FALSE(in.hasSetIpResult);
}

TEST(Messages, FingerprintIgnoresRunningAndBootTimeAndEvent)
{
    DeviceFields later = Camera();
    later.runningTime = "7 days 01:02:03";
    later.bootTime = "2026-12-02 10:00:00";
    later.event = kEventHello;
    EXPECT_EQ(ReadMessage(BuildResult(Camera())).fingerprint, ReadMessage(BuildResult(later)).fingerprint);
}

TEST(Messages, FingerprintSeesEveryShownField)
{
    const std::uint64_t base = ReadMessage(BuildResult(Camera())).fingerprint;
    const std::vector<void (*)(DeviceFields&)> changes = {
        [](DeviceFields& d) { d.ip = "192.168.1.65"; },
        [](DeviceFields& d) { d.mask = "255.255.0.0"; },
        [](DeviceFields& d) { d.route = "192.168.1.254"; },
        [](DeviceFields& d) { d.dhcp = true; },
        [](DeviceFields& d) { d.ip2 = "169.254.1.2"; },
        [](DeviceFields& d) { d.dns1 = "1.1.1.1"; },
        [](DeviceFields& d) { d.encryptType = "sha256"; },
        [](DeviceFields& d) { d.dataPort = 6037; },
        [](DeviceFields& d) { d.httpPort = 8080; },
        [](DeviceFields& d) { d.rtspPort = -1; },
        [](DeviceFields& d) { d.httpType = 1; },
        [](DeviceFields& d) { d.softwareVer = "V5.1.3"; },
        [](DeviceFields& d) { d.devName = "Other"; },
        [](DeviceFields& d) { d.deviceActivated = 1; },
        [](DeviceFields& d) { d.build = ""; },
        [](DeviceFields& d) { d.productModel = "IPC-9"; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        DeviceFields d = Camera();
        changes[i](d);
        EXPECT_NE(base, ReadMessage(BuildResult(d)).fingerprint) << "change " << i;
    }
}

TEST(Messages, RequestsAndAnswersRoundTrip)
{
    Incoming answer = ReadMessage(BuildSetIpResult("02:5C:01:00:00:00", 1));
    EXPECT_EQ(Incoming::Type::Result, answer.type);
    EXPECT_TRUE(answer.hasSetIpResult);
    EXPECT_EQ(1, answer.setIpResult);

    Incoming restore = ReadMessage(BuildRestore("02:5C:01:00:00:00", 4000000000u));
    EXPECT_EQ(Incoming::Type::Restore, restore.type);
    EXPECT_EQ(4000000000u, restore.id);

    Incoming restored = ReadMessage(BuildRestoreResult("02:5C:01:00:00:00", 5, true));
    EXPECT_EQ(Incoming::Type::RestoreResult, restored.type);
    EXPECT_TRUE(restored.restored);

    Incoming probe = ReadMessage(BuildProbe(9, 2, 300));
    EXPECT_EQ(Incoming::Type::Probe, probe.type);
    EXPECT_EQ(9u, probe.seq);
    EXPECT_EQ(300, probe.spreadMs);

    Incoming bye = ReadMessage(BuildBye("02:5C:01:00:00:00"));
    EXPECT_EQ(Incoming::Type::Bye, bye.type);
}

TEST(Messages, SetIpRequestIsReadWithItsAttributes)
{
    const Incoming in = ReadMessage("<searchSetIP password=\"p&amp;w\" serialNo=\"02:5c:01:00:00:00\" "
                                    "dhcpSwitch=\"false\" ipAddr=\"10.0.0.9\" maskAddr=\"255.0.0.0\" "
                                    "route=\"10.0.0.1\" httpPort=\"81\"/>\r\n");
    ASSERT_EQ(Incoming::Type::SetIp, in.type);
    EXPECT_EQ("02:5C:01:00:00:00", in.mac);
    EXPECT_EQ("p&w", in.attributes.at("password"));
    EXPECT_EQ("81", in.attributes.at("httpPort"));
    EXPECT_EQ(0u, in.attributes.count("dataPort"));
}

TEST(Messages, EveryPrefixOfAReplyIsRefused)
{
    const std::string whole = BuildResult(Camera());
    // The last bytes are the closing line break: the document is complete before them.
    const std::size_t complete = whole.rfind('>') + 1;
    for (std::size_t length = 0; length < complete; ++length) {
        EXPECT_EQ(Incoming::Type::Unknown, ReadMessage(whole.substr(0, length)).type) << length;
    }
}
