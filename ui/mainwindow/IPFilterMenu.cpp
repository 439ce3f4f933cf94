#include "IPFilterMenu.h"

#include "IpAddrEdit.h"

IPFilterMenu::IPFilterMenu(int index, QWidget* parent)
    : RangeFilterMenu(index, "IDCS_IP_START", "IDCS_IP_END", parent)
{
    setFields(new IpAddrEdit(this), new IpAddrEdit(this));
}

QString IPFilterMenu::fieldText(const QWidget* field) const
{
    return static_cast<const IpAddrEdit*>(field)->text();
}
