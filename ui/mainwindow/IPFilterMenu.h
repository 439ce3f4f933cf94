#pragma once

#include "RangeFilterMenu.h"

// The IPv4 range form on the header button of the IP-address column.
class IPFilterMenu : public RangeFilterMenu
{
    Q_OBJECT

public:
    IPFilterMenu(int index, QWidget* parent);

protected:
    QString fieldText(const QWidget* field) const override;
};
