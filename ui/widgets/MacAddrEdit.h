#pragma once

#include "SegmentedAddrEdit.h"

// A MAC address typed in six fields of two hexadecimal digits.
// text() is "" or "aa:bb:cc:dd:ee:ff" with empty places for empty pairs; digits keep their case.
// setText() takes only six colon-separated pairs.
class MacAddrEdit : public SegmentedAddrEdit
{
    Q_OBJECT

public:
    explicit MacAddrEdit(QWidget* parent = nullptr);

protected:
    QPointF separatorPosition(int k) const override;
};
