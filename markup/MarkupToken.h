#pragma once

#include <cstdint>
#include <string>

// Token and node kinds share one numbering so a node kind can be stored straight from a token.
enum MarkupKind : int
{
    MarkupEndOfDocument = -2,
    MarkupError = -1,
    MarkupEndTag = 0,
    MarkupElement = 1,
    MarkupText = 2,
    MarkupWhitespace = 4,
    MarkupCData = 8,
    MarkupProcessingInstruction = 16,
    MarkupComment = 32,
    MarkupDeclaration = 64,
    MarkupLoneEndTag = 128
};

// One piece of markup as the tokenizer found it. The name is kept as a span of the text
// rather than a copy, so that parsing allocates nothing per element.
struct MarkupToken
{
    int kind = MarkupEndOfDocument;
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    // Start tags only: the tag ends with "/>" and has no content.
    bool empty = false;
    // Start tags, end tags and processing instructions: the name as offset and length.
    std::uint32_t nameStart = 0;
    std::uint32_t nameLength = 0;
    // Error tokens only.
    std::string error;
};
