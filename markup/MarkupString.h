#pragma once

#include <cstdint>
#include <string>

// Text helpers of the XML document: entity handling and name comparison.
namespace MarkupString {
// Element values: '<', '&' and '>' become entities; quotes stay as they are.
std::string EscapeText(const char* text, std::size_t length);
// Attribute values: all five of <&>'" become entities.
std::string EscapeAttribute(const char* text, std::size_t length);
// Appends text with the five named entities and numeric character references decoded
// (references to UTF-8); anything that is not a reference is copied as written.
void AppendUnescaped(std::string& out, const char* text, std::size_t length);

// True when the name in the document (docName, docLength bytes) is the requested name:
// the requested name must hold the whole document name and then end, or go on with a
// space, '=', '/', '[' or ']'. So "ip" matches ip but not ipAddr, and the reverse.
bool NameMatches(const char* docName, std::size_t docLength, const char* requested);

// End of an element name in the text: whitespace or one of <>=\/?!
std::uint32_t ElementNameEnd(const char* text, std::uint32_t length, std::uint32_t from);
// End of an attribute name: whitespace or one of =>/?
std::uint32_t AttributeNameEnd(const char* text, std::uint32_t length, std::uint32_t from);
} // namespace MarkupString
