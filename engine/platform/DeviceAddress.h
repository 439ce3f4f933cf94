#pragma once

#include <cstdint>

// Whether address (network byte order) may be a device's: false for 0.0.0.0, the loopback
// range and every address this host holds itself. A device that reports one of those would
// have the program send it the device's credentials, or open its page, on a local service.
bool IsOffHostAddress(std::uint32_t address);
