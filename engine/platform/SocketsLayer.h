#pragma once

// Start and stop of the platform's sockets layer around the search library's lifetime.
// Only Windows needs it; elsewhere both calls do nothing.
class CSocketsLayer
{
public:
    // Returns false when the layer could not be started.
    static bool Start();
    static void Stop();
};
