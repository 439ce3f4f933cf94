#include "Csv.h"

#include <gtest/gtest.h>

namespace {

struct ReadCase
{
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> rows;
    std::vector<int> lines;
    const char* error; // part of the expected message; nullptr when the text is good
};

TEST(Csv, ReadsRowsAndRefusesMalformedText)
{
    const ReadCase cases[] = {
        {"plain", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}, {1, 2}, nullptr},
        {"crlf and no final newline", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}, {1, 2}, nullptr},
        {"byte-order mark", "\xEF\xBB\xBFmac,ip\n", {{"mac", "ip"}}, {1}, nullptr},
        {"blank lines skipped", "a\n\n  \nb\n", {{"a"}, {"b"}}, {1, 4}, nullptr},
        {"quoted comma, quote, newline",
         "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\"\nz\n",
         {{"x,y", "say \"hi\"", "two\nlines"}, {"z"}},
         {1, 3},
         nullptr},
        {"empty fields", ",,\n", {{"", "", ""}}, {1}, nullptr},
        {"empty text", "", {}, {}, nullptr},
        {"stray quote", "a,b\"c\n", {}, {}, "line 1: stray quote"},
        {"text after closing quote", "ok\n\"a\"b,c\n", {}, {}, "line 2: text after a closing quote"},
        {"unterminated quote", "a\nb,\"c\n\n", {}, {}, "line 2: quote opened here is never closed"},
        {"zero byte", std::string("a\nb\0c\n", 6), {}, {}, "line 2: zero byte"},
        {"too large", std::string(kCsvMaxBytes + 1, 'a'), {}, {}, "larger than 1 MiB"},
    };
    for (const ReadCase& c : cases) {
        const CsvResult result = ReadCsv(c.text);
        if (c.error != nullptr) {
            EXPECT_NE(result.error.find(c.error), std::string::npos) << c.name << ": " << result.error;
            continue;
        }
        EXPECT_EQ(result.error, "") << c.name;
        ASSERT_EQ(result.rows.size(), c.rows.size()) << c.name;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(result.rows[i].fields, c.rows[i]) << c.name << " row " << i;
            EXPECT_EQ(result.rows[i].line, c.lines[i]) << c.name << " row " << i;
        }
    }
}

TEST(Csv, WritesWhatItReadsBack)
{
    const std::vector<std::string> fields = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "Камера", ""};
    const std::string line = CsvLine(fields);
    EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",Камера,\r\n");
    const CsvResult back = ReadCsv(line);
    ASSERT_EQ(back.rows.size(), 1u);
    EXPECT_EQ(back.rows[0].fields, fields);
}

} // namespace
