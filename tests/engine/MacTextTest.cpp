#include "MacText.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

TEST(MacText, RecognisesAndReadsOnlySixHexPairsJoinedByColons)
{
    struct Case
    {
        const char* text;
        bool mac;
    };
    for (const Case& c : {Case{"00:1A:2B:3C:4D:5E", true},
                          Case{"ff:ee:dd:cc:bb:aa", true},
                          Case{"", false},
                          Case{"00:1A:2B:3C:4D", false},
                          Case{"00:1A:2B:3C:4D:5", false},
                          Case{"00:1A:2B:3C:4D:5E:", false},
                          Case{"00:1A:2B:3C:4D:5E6", false},
                          Case{"00-1A-2B-3C-4D-5E", false},
                          Case{"0G:1A:2B:3C:4D:5E", false},
                          Case{" 00:1A:2B:3C:4D:5E", false},
                          // Texts a "%02X:..." scan reads as six bytes.
                          Case{"1:2:3:4:5:6", false},
                          Case{"00:11:22:33:44:55x", false},
                          Case{"+0:11:22:33:44:55", false}}) {
        unsigned char bytes[6] = {};
        EXPECT_EQ(IsMacText(c.text), c.mac) << '"' << c.text << '"';
        EXPECT_EQ(ParseMac(c.text, bytes), c.mac) << '"' << c.text << '"';
    }
    EXPECT_FALSE(IsMacText(nullptr));
}

TEST(MacText, UpperCasesInPlace)
{
    char text[] = "0a:1b:2c:3d:4e:5f and more \xe9";
    UpperCaseMac(text);
    EXPECT_EQ(std::string(text), "0A:1B:2C:3D:4E:5F AND MORE \xe9");
    UpperCaseMac(nullptr);
}

TEST(MacText, ParsesIntoSixBytes)
{
    unsigned char bytes[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(ParseMac("00:1a:2B:fF:80:09", bytes));
    const unsigned char expected[6] = {0x00, 0x1A, 0x2B, 0xFF, 0x80, 0x09};
    EXPECT_EQ(std::memcmp(bytes, expected, 6), 0);
    EXPECT_FALSE(ParseMac("00:1a:2B:fF:80", bytes));
    EXPECT_EQ(std::memcmp(bytes, expected, 6), 0);
}
