#pragma once

#include <QColor>

// The colours of the dark skin. They match the values the style sheet uses, so images and
// style-sheet drawn parts sit on the same surfaces without visible seams.
namespace Palette {
inline const QColor listBase{19, 20, 24};
inline const QColor line{78, 83, 90};
inline const QColor buttonHover{75, 80, 84};
inline const QColor glyph{168, 173, 178};
inline const QColor glyphHover{240, 242, 244};
inline const QColor disabled{70, 73, 77};
inline const QColor disabledBase{28, 29, 30};
inline const QColor accent{0, 134, 156};
inline const QColor accentLight{56, 145, 180};
inline const QColor accentBright{72, 178, 212};
inline const QColor accentDeep{0, 30, 36};
inline const QColor frameOuter{92, 98, 106};
inline const QColor frameInner{34, 37, 42};
} // namespace Palette
