#pragma once

#include <string>
#include <vector>

// Runs argv[0] (a full path) with argv as its arguments, standard streams on the null device,
// and waits for it at most timeoutMs; a program still running then is killed. Returns its
// exit status, or -1 when it could not be started, was killed or died by a signal.
int RunTool(const std::vector<std::string>& argv, int timeoutMs);
