#pragma once

#include <QString>

// How a device's values are written in the list, in the loaded language.
namespace DeviceText {

// Takes the texts below from the loaded language; the window calls it once the tables are loaded.
void loadTexts();

// The display name of a device-type key; empty for a key the program does not know.
QString deviceTypeName(const QString& key);
// A seconds text as days, hours, minutes and seconds, leaving out the leading zero units;
// empty for 0 or a text that is no number.
QString formatRunTime(const QString& seconds);
// The activation column: activated for 0, not activated for 1, empty otherwise.
QString activationText(int activation);
// A port in decimal; empty for 0, the value of a port the device did not report.
QString portText(int port);
// For a text the engine had to cut to fit its record (it ends with the cut mark "…"): the
// text and a line saying so; empty for any other text.
QString cutTextToolTip(const QString& text);

} // namespace DeviceText
