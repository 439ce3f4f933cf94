#pragma once

#include <QColor>

// The colours of a plan row's state, shared by the parts of the batch addressing dialog.
namespace BatchRowLook {

inline const QColor kPlainText(185, 185, 185);
inline const QColor kMutedText(120, 124, 130);
inline const QColor kGoodText(96, 196, 120);
inline const QColor kBadText(232, 96, 86);
inline const QColor kBusyText(0, 170, 200);

} // namespace BatchRowLook
