#pragma once

#include <string>
#include <vector>

// Starts argv[0] (looked up on PATH when it has no slash) with argv as its arguments, in a
// session of its own, with standard input and output on the null device, and returns at
// once without waiting for it. The child is reaped in the background, so it never lingers
// as a zombie. Returns false when the program could not be started.
bool SpawnDetached(const std::vector<std::string>& argv);

// SpawnDetached, then a watch of up to watchMs: false when the program could not be started
// or ended within that time with a failure (non-zero exit, a signal). A program still running
// then, or ended with 0, counts as started; it is reaped in the background as above.
bool SpawnWatched(const std::vector<std::string>& argv, int watchMs);

// Runs argv[0] as SpawnDetached starts it and waits for it at most timeoutMs; a program still
// running then is killed. Returns its exit status, or -1 when it could not be started, was
// killed or died by a signal.
int RunTool(const std::vector<std::string>& argv, int timeoutMs);
