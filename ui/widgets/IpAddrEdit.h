#pragma once

#include "SegmentedAddrEdit.h"

// A dotted IPv4 address typed in four octet fields.
// text() is "" or "a.b.c.d" with empty places for empty octets (10.0..1); setText() takes only
// four octets of 0 to 255, leading zeros kept as given.
class IpAddrEdit : public SegmentedAddrEdit
{
    Q_OBJECT

public:
    explicit IpAddrEdit(QWidget* parent = nullptr);

protected:
    QPointF separatorPosition(int k) const override;
};
