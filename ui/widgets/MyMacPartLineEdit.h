#pragma once

#include "AddrPartLineEdit.h"

// One pair field of MacAddrEdit: two hexadecimal digits, kept in the case typed.
class MyMacPartLineEdit : public AddrPartLineEdit
{
    Q_OBJECT

public:
    static constexpr int kFieldCount = 6;

    MyMacPartLineEdit(int index, QWidget* parent);

protected:
    bool completesField(const QString& text) const override;
};
