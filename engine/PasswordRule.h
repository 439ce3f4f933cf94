#pragma once

// The rule a device's first password must meet (activation), shared by the window and
// scanix-cli: 8 to 39 bytes (the web interface's Basic credentials hold at most 39), and at
// least three of the four kinds lower case, upper case, digits, other characters.

#include <string>

bool IsStrongPassword(const std::string& password);

// The rule in words, for messages.
extern const char kPasswordRuleText[];
