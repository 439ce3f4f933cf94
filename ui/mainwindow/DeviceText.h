#pragma once

#include <QString>

// How a device's values are written in the list, in the loaded language.
namespace DeviceText {

// The display name of a device-type key; empty for a key the program does not know.
QString deviceTypeName(const QString& key);
// A seconds text as days, hours, minutes and seconds, leaving out the leading zero units;
// empty for 0 or a text that is no number.
QString formatRunTime(const QString& seconds);
// The activation column: activated for 0, not activated for 1, empty otherwise.
QString activationText(int activation);

} // namespace DeviceText
