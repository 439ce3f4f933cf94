#include "MyIpPartLineEdit.h"

#include <QIntValidator>

namespace {
const AddrPartLineEdit::Format kOctetFormat{3,
                                            "^(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)$",
                                            MyIpPartLineEdit::kFieldCount,
                                            QChar(u'.'),
                                            QChar(u'\u3002'),
                                            "IDCS_IP_OCTET_OF"};
// Above this a two-digit octet cannot take a third digit, so typing moves on at once.
constexpr int kLargestTwoDigitPrefix = 25;
} // namespace

MyIpPartLineEdit::MyIpPartLineEdit(int index, QWidget* parent)
    : AddrPartLineEdit(index, kOctetFormat, parent)
{}

bool MyIpPartLineEdit::completesField(const QString& text) const
{
    QIntValidator octet(0, 255);
    QString input = text;
    int position = 0;
    if (octet.validate(input, position) != QValidator::Acceptable) {
        return false;
    }
    return text.size() == 3 || (text.size() == 2 && text.toInt() > kLargestTwoDigitPrefix);
}
