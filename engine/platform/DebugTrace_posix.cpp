#include "DebugTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void DebugTrace(const char* text)
{
    const char* setting = std::getenv("SCANIX_DEBUG");
    if (text == nullptr || setting == nullptr || std::strcmp(setting, "0") == 0) {
        return;
    }
    std::fputs(text, stderr);
    std::fflush(stderr);
}
