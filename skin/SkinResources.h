#pragma once

// Registers the compiled-in skin (":/skin/..."). Linking scanix_skin registers it at load time
// already; the call is for code that wants the dependency to be explicit. Repeated calls are
// harmless.
void initSkinResources();
