#pragma once

// MAC texts: six hexadecimal pairs joined by colons, the identity of a device everywhere.

// Upper-cases the text in place (ASCII letters only).
void UpperCaseMac(char* text);

// True for exactly "XX:XX:XX:XX:XX:XX" with hexadecimal digits in either case.
bool IsMacText(const char* text);

// Reads a MAC text into six bytes; false (bytes untouched) when the text is not a MAC text.
// The engine's one MAC reader: unlike a "%02X:..." scan it refuses single digits, signs,
// blanks and trailing text, so a request never goes to a device the text did not name.
bool ParseMac(const char* text, unsigned char (&bytes)[6]);
