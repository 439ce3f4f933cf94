#include "MacAddrEdit.h"

#include "MyMacPartLineEdit.h"

#include <QFontMetricsF>

namespace {
const char* const kAddressPattern = "(([0-9a-fA-F]){2}:){5}([0-9a-fA-F]){2}";
} // namespace

MacAddrEdit::MacAddrEdit(QWidget* parent)
    : SegmentedAddrEdit(QChar(u':'), kAddressPattern, parent)
{
    QList<AddrPartLineEdit*> fields;
    for (int i = 0; i < MyMacPartLineEdit::kFieldCount; ++i) {
        fields << new MyMacPartLineEdit(i, this);
    }
    setUpFields(fields);
}

// Sixths of the width are not whole pixels; the colons are centred on the boundaries exactly,
// not rounded.
QPointF MacAddrEdit::separatorPosition(int k) const
{
    constexpr qreal fields = MyMacPartLineEdit::kFieldCount;
    const qreal halfColon = QFontMetricsF(font()).horizontalAdvance(separator()) / 2;
    return QPointF(k * width() / fields - halfColon, textBaseline());
}
