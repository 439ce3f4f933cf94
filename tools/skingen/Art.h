#pragma once

#include <QImage>
#include <QString>

// Each function draws one image (or a family of them) of the skin at its final pixel size.
namespace Art {
// Window border: the eight pieces of the frameless window edge.
QImage borderEdge(const QString& which);

// Title-bar buttons, three 22-pixel states: "close", "min", "max", "normal".
QImage titleButton(const QString& which);

// Message-box icons, 120 x 120: "Warning", "Error", "Information", "Question".
QImage messageIcon(const QString& which);

// Three-piece row backgrounds, 14 x 36: kind "selected", "inactive", "hover"; piece 'l', 'm', 'r'.
QImage rowPiece(const QString& kind, char piece);

// Control-bar and main-window glyphs.
QImage sectionArrow(bool expand); // 33 x 8, three states
QImage infoBadge();               // 26 x 26
QImage divideToggle(bool open);   // 18 x 18
QImage comboArrow();              // 69 x 23, three states

// Style-sheet images.
QImage checkBox(bool checked);                   // 104 x 26, four states
QImage headerMenuIndicator();                    // 96 x 33, three states
QImage menuCheck();                              // 44 x 20, two states
QImage sortArrow(bool up);                       // 12 x 15
QImage scrollArrow(Qt::ArrowType direction);     // 54 x 18, three states
QImage scrollHandle(bool horizontal, int state); // 20 x 18 or 18 x 20

// The product emblem at any square size (about dialog, window icons).
QImage emblem(int size);

// The desktop's application icon: the emblem with the margin that launcher icons keep, so it sits
// at the size of its neighbours in a menu or dock.
QImage appIcon(int size);

// The logo: drawn for a 230 x 50 display box and stretched onto the given pixel size, so that
// the large image shows undistorted once scaled into that box regardless of aspect ratio.
QImage logo(int width, int height);
} // namespace Art
