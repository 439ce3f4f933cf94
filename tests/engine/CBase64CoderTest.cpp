#include "CBase64Coder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string Encode(const CBase64Coder& coder, const std::string& input)
{
    std::vector<char> out(static_cast<size_t>(coder.EncodedSize(static_cast<int>(input.size()))), '#');
    const int n =
        coder.Encode(reinterpret_cast<const unsigned char*>(input.data()), static_cast<int>(input.size()), out.data());
    EXPECT_EQ(out[static_cast<size_t>(n)], '\0');
    EXPECT_EQ(static_cast<size_t>(n) + 1, out.size()) << "the size estimate is exact";
    return std::string(out.data(), static_cast<size_t>(n));
}

TEST(CBase64Coder, EncodesTheStandardVectors)
{
    const CBase64Coder coder;
    const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {"admin:password", "YWRtaW46cGFzc3dvcmQ="}};
    for (const auto& c : cases) {
        EXPECT_EQ(Encode(coder, c.first), c.second) << c.first;
    }
}

TEST(CBase64Coder, UsesTheWholeAlphabetIncludingPlusAndSlash)
{
    const std::string bytes("\xfb\xff\xbf\x00\x10\x83", 6);
    EXPECT_EQ(Encode(CBase64Coder(), bytes), "+/+/ABCD");
}

TEST(CBase64Coder, NeverBreaksLinesByDefault)
{
    const CBase64Coder coder;
    EXPECT_EQ(coder.GetLineLength(), INT_MAX);
    const std::string encoded = Encode(coder, std::string(300, 'a'));
    EXPECT_EQ(encoded.size(), 400u);
    EXPECT_EQ(encoded.find('\r'), std::string::npos);
}

TEST(CBase64Coder, BreaksAfterTheLineLength)
{
    CBase64Coder coder;
    coder.SetLineLength(4);
    EXPECT_EQ(Encode(coder, "foobarfo"), "Zm9v\r\nYmFy\r\nZm8=");
    coder.SetLineLength(0);
    EXPECT_EQ(Encode(coder, "foobarfo"), "Zm9vYmFyZm8=");
}

} // namespace
