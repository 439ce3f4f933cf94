#pragma once

#include <string>

// The host tests run in a network namespace of their own when started as root (see
// HostNamespaceMain.cpp): interfaces and routes they create touch nothing outside it.
bool HavePrivateNetwork();

// Runs a shell command (ip link/addr/route inside the private namespace); true on exit 0.
bool RunCommand(const std::string& command);

#define SKIP_WITHOUT_PRIVATE_NETWORK()                                                                                 \
    do {                                                                                                               \
        if (!HavePrivateNetwork()) {                                                                                   \
            GTEST_SKIP() << "needs root to create a private network namespace (unshare CLONE_NEWNET)";                 \
        }                                                                                                              \
    } while (false)
