#pragma once

// Where scanix-cli writes: results to stdout, messages to stderr, colour only for a terminal.

#include <string>

// True when stdout is a terminal and NO_COLOR is not set.
bool UseColour();
// Wraps text in an ANSI colour (31 red, 33 yellow, 32 green) when UseColour().
std::string Coloured(const std::string& text, int colour);
// "scanix-cli: text" on stderr, with control characters and invalid UTF-8 replaced.
void Message(const std::string& text);
// Output width of a UTF-8 text, counting each character as one column.
std::size_t TextWidth(const std::string& text);
// Cut to `width` columns (a "~" marks the cut) or padded with blanks to it.
std::string FitText(const std::string& text, std::size_t width, bool pad);
