#pragma once

#include <QImage>

// The control bar side by side in its states (both sections open, each one closed, both closed,
// a header hovered and one pressed, the form filled from a device), as one picture.
QImage renderControlBarSheet();
