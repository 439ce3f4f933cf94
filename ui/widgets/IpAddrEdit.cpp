#include "IpAddrEdit.h"

#include "MyIpPartLineEdit.h"

namespace {
const char* const kAddressPattern =
    "((2[0-4][0-9]|25[0-5]|[01]?[0-9][0-9]?)\\.){3}(2[0-4][0-9]|25[0-5]|[01]?[0-9][0-9]?)";
} // namespace

IpAddrEdit::IpAddrEdit(QWidget* parent)
    : SegmentedAddrEdit(QChar(u'.'), kAddressPattern, parent)
{
    QList<AddrPartLineEdit*> fields;
    for (int i = 0; i < MyIpPartLineEdit::kFieldCount; ++i) {
        fields << new MyIpPartLineEdit(i, this);
    }
    setUpFields(fields);
}

// Whole pixels, so the three dots look alike.
QPointF IpAddrEdit::separatorPosition(int k) const
{
    return QPointF(k * width() / MyIpPartLineEdit::kFieldCount, 2 * height() / 3);
}
