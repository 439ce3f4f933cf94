#include "PasswordRule.h"

#include <cctype>

const char kPasswordRuleText[] =
    "8 to 39 characters, with at least three of: lower-case letters, upper-case letters, digits, other characters";

bool IsStrongPassword(const std::string& password)
{
    if (password.size() < 8 || password.size() > 39) {
        return false;
    }
    bool lower = false;
    bool upper = false;
    bool digit = false;
    bool other = false;
    for (const unsigned char c : password) {
        lower = lower || std::islower(c) != 0;
        upper = upper || std::isupper(c) != 0;
        digit = digit || std::isdigit(c) != 0;
        other = other || std::isalnum(c) == 0;
    }
    return static_cast<int>(lower) + static_cast<int>(upper) + static_cast<int>(digit) + static_cast<int>(other) >= 3;
}
