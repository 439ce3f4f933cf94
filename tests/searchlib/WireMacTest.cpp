#include "WireMac.h"

#include <gtest/gtest.h>

using scanix::proto::NormalizeMac;

TEST(WireMac, ShapesTable)
{
    const struct
    {
        const char* text;
        const char* normal;
    } cases[] = {
        {"02:5C:01:00:00:0A", "02:5C:01:00:00:0A"},
        {"02:5c:01:00:00:0a", "02:5C:01:00:00:0A"},
        {"FF:FF:FF:FF:FF:FF", "FF:FF:FF:FF:FF:FF"},
        {"02:5C:01:00:00", ""},
        {"02:5C:01:00:00:0A:", ""},
        {"02-5C-01-00-00-0A", ""},
        {"025C:01:00:00:0A:", ""},
        {"G2:5C:01:00:00:0A", ""},
        {" 02:5C:01:00:00:0A", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.normal, NormalizeMac(c.text)) << c.text;
    }
}

TEST(WireMac, BytesRoundTrip)
{
    scanix::proto::MacBytes bytes{};
    ASSERT_TRUE(scanix::proto::ParseMac("a0:0B:c0:dd:Ee:0f", bytes));
    EXPECT_EQ(0xA0, bytes[0]);
    EXPECT_EQ(0x0F, bytes[5]);
    EXPECT_EQ("A0:0B:C0:DD:EE:0F", scanix::proto::FormatMac(bytes.data()));
}
