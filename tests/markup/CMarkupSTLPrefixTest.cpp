#include "CMarkupSTL.h"
#include "MarkupString.h"
#include "MarkupTokenizer.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::vector<std::string> CorpusDocuments()
{
    std::vector<std::string> documents;
    for (const auto& entry : std::filesystem::directory_iterator(MARKUP_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        documents.emplace_back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    return documents;
}

// Every element's name, data and an attribute, depth first, through both cursor levels.
void WalkAll(CMarkupSTL& xml)
{
    int depth = 0;
    for (;;) {
        if (xml.FindElement()) {
            (void)xml.GetTagName();
            (void)xml.GetElementData();
            (void)xml.GetAttrib("a");
            while (xml.FindChildElement()) {
                (void)xml.GetChildElementData();
                (void)xml.GetChildAttrib("t");
            }
            xml.ResetChildPosition();
            EXPECT_TRUE(xml.EnterElement());
            ++depth;
        } else if (depth > 0) {
            EXPECT_TRUE(xml.LeaveElement());
            --depth;
        } else {
            return;
        }
    }
}
} // namespace

// Each prefix sits at the very end of its own heap block with nothing after it, so any
// read past the given length lands outside the block and shows under AddressSanitizer.
TEST(CMarkupSTL, EveryPrefixParsesWithinItsBuffer)
{
    const std::vector<std::string> documents = CorpusDocuments();
    ASSERT_GE(documents.size(), 10u);
    for (const std::string& document : documents) {
        for (std::size_t length = 0; length <= document.size(); ++length) {
            std::unique_ptr<char[]> block(new char[length ? length : 1]);
            char* text = block.get() + (length ? 0 : 1);
            std::memcpy(block.get(), document.data(), length);

            // The tokenizer reads the caller's buffer directly: tokens must tile it exactly.
            MarkupTokenizer tokenizer(text, static_cast<std::uint32_t>(length));
            MarkupToken token;
            std::uint32_t expectedStart = 0;
            for (tokenizer.Next(token); token.kind != MarkupEndOfDocument; tokenizer.Next(token)) {
                ASSERT_EQ(token.start, expectedStart);
                ASSERT_GT(token.length, 0u);
                expectedStart = token.start + token.length;
            }
            ASSERT_EQ(expectedStart, length);

            // The parser's own stepping skips text runs whole before each tag.
            MarkupTokenizer skipping(text, static_cast<std::uint32_t>(length));
            for (;;) {
                skipping.SkipText();
                ASSERT_LE(skipping.Offset(), length);
                skipping.Next(token);
                if (token.kind == MarkupEndOfDocument) {
                    break;
                }
                ASSERT_GT(token.length, 0u);
                ASSERT_LE(token.start + token.length, length);
            }

            std::string unescaped;
            MarkupString::AppendUnescaped(unescaped, text, length);

            CMarkupSTL xml(text, length);
            WalkAll(xml);
            if (length == 0) {
                EXPECT_EQ(xml.GetError(), "Empty document");
            }
            EXPECT_EQ(xml.GetDocument().size(), length);
        }
    }
}
