#pragma once

// Writes a short trace line to the platform's debug output: standard error on POSIX, and
// only when the environment variable SCANIX_DEBUG is set (to anything but "0"), so a normal
// run prints nothing.
void DebugTrace(const char* text);
