#pragma once

// Device texts are hostile input: a device (or anyone forging its reports) chooses its name,
// model and versions, and a file or an argument may hold anything. Everything scanix-cli
// prints to a terminal or writes into a CSV file passes through here first.

#include <cstddef>
#include <string>

// Valid UTF-8 without control characters: C0 (U+0000-U+001F), DEL (U+007F) and C1
// (U+0080-U+009F) become U+FFFD, and so does every byte that does not belong to a well-formed
// UTF-8 sequence (overlong forms, surrogates and code points beyond U+10FFFF included).
std::string PrintableText(const std::string& text);

// Input quoted back in a message: printable as above and at most `limit` characters, the cut
// marked with "...".
std::string EchoText(const std::string& text, std::size_t limit = 64);
