#include "IpAddrEdit.h"

#include "MyIpPartLineEdit.h"

#include <QFontMetrics>

namespace {
const char* const kAddressPattern = "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)";
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

// Whole pixels, so the three dots look alike; each dot is centred on its field boundary.
QPointF IpAddrEdit::separatorPosition(int k) const
{
    const int halfDot = fontMetrics().horizontalAdvance(separator()) / 2;
    return QPointF(k * width() / MyIpPartLineEdit::kFieldCount - halfDot, textBaseline());
}
