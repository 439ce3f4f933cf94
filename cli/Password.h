#pragma once

#include <optional>
#include <string>

// The device password: one line from standard input with fromStdin (a trailing CR is
// dropped), else typed at the terminal without echo. Never an argument, which other users
// of the machine could read in the process list. Nothing when neither is possible, with the
// reason in `error`.
std::optional<std::string> ReadPassword(bool fromStdin, std::string& error);

// A new password (activation): as ReadPassword, but typed twice at the terminal, and nothing
// when the two differ.
std::optional<std::string> ReadNewPassword(bool fromStdin, std::string& error);
