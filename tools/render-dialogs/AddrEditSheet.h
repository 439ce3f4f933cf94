#pragma once

#include <QImage>

// The address editors in every state (at rest, hovered, focused, disabled) and with empty,
// partial and full contents, at the control bar's size (170 x 23) and the filter form's
// (200 x 26), laid out as one picture with captions.
QImage renderAddrEditSheet();
