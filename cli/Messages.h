#pragma once

// The plain-language outcome of a request, with the meanings the windowed tool gives them.

#include "ExitCode.h"

#include <string>

// The message of an addressing rule code 1-8; empty for 0 and unknown codes.
std::string RuleMessage(int code);

struct Outcome
{
    ExitCode exit = EXIT_OK;
    std::string message;
};

// The outcome of a network-parameter change: SetNetworkParam's code, with 11 (an answer not
// awaited by the engine) already settled by the caller into 0, 9 or 10.
Outcome SetIpOutcome(int code);

// Why a device or the search library refused a configuration request, in words; empty for a
// reason nobody gave.
std::string RefusalMessage(const std::string& reason);
// The message of a refused password restore: SCANIX_SET_DevRestoreDefault's result.
Outcome RestoreOutcome(int result);

extern const char kMessageDeviceNotFound[];
extern const char kMessageRestoreNotSupported[];
extern const char kMessageRestoreSuccess[];
extern const char kMessageRestoreFailed[];
