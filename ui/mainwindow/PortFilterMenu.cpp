#include "PortFilterMenu.h"

#include "PortLineEdit.h"

PortFilterMenu::PortFilterMenu(int index, QWidget* parent)
    : RangeFilterMenu(index, "IDCS_PORT_START", "IDCS_PORT_END", parent)
{
    setFields(new PortLineEdit(this), new PortLineEdit(this));
}

QString PortFilterMenu::fieldText(const QWidget* field) const
{
    return static_cast<const PortLineEdit*>(field)->text();
}
