#pragma once

// The small web page a simulated device serves at GET /, so that opening a device's page from
// the program shows which device answered.

#include "SimDevice.h"

#include <string>

// An HTML document naming the device (name, model, address, MAC), every text escaped.
std::string DevicePage(const SimDevice& device);
