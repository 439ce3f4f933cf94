#pragma once

#include "RangeFilterMenu.h"

class PortLineEdit;

// The data-port range form on the header button of the data-port column.
class PortFilterMenu : public RangeFilterMenu
{
    Q_OBJECT

public:
    PortFilterMenu(int index, QWidget* parent);

protected:
    QString fieldText(const QWidget* field) const override;
};
