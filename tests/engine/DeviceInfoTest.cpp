#include "DeviceInfo.h"

#include <cstring>

#include <gtest/gtest.h>

TEST(DeviceInfo, CopyTextCutsAtWidthMinusOneAndZeroFills)
{
    char field[8];
    std::memset(field, 'x', sizeof field);
    CopyText(field, "abc");
    EXPECT_STREQ(field, "abc");
    for (std::size_t i = 3; i < sizeof field; ++i) {
        EXPECT_EQ(field[i], '\0') << i;
    }
    CopyText(field, "abcdefghijk");
    EXPECT_STREQ(field, "abcdefg");
    CopyText(field, "abcdefg");
    EXPECT_STREQ(field, "abcdefg");
    // Never half a character: "é" is two bytes, "€" three.
    CopyText(field, "abcdefé");
    EXPECT_STREQ(field, "abcdef");
    CopyText(field, "abcdeé");
    EXPECT_STREQ(field, "abcdeé");
    CopyText(field, "ab€€");
    EXPECT_STREQ(field, "ab€");
    CopyText(field, static_cast<const char*>(nullptr));
    EXPECT_STREQ(field, "");
}
