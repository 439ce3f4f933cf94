#include "MyMacPartLineEdit.h"

#include <QRegularExpression>

namespace {
const char* const kPairPattern = "^([0-9a-fA-F]){2}$";
const AddrPartLineEdit::Format kPairFormat{
    2, kPairPattern, MyMacPartLineEdit::kFieldCount, QChar(u':'), QChar(u'\uFF1A'), "IDCS_MAC_PAIR_OF"};
} // namespace

MyMacPartLineEdit::MyMacPartLineEdit(int index, QWidget* parent)
    : AddrPartLineEdit(index, kPairFormat, parent)
{}

bool MyMacPartLineEdit::completesField(const QString& text) const
{
    static const QRegularExpression pair(QString::fromLatin1(kPairPattern));
    return text.size() == 2 && pair.match(text).hasMatch();
}
