#pragma once

#include "AddrPartLineEdit.h"

// One octet field of IpAddrEdit: 0 to 255, up to three digits.
class MyIpPartLineEdit : public AddrPartLineEdit
{
    Q_OBJECT

public:
    static constexpr int kFieldCount = 4;

    MyIpPartLineEdit(int index, QWidget* parent);

protected:
    bool completesField(const QString& text) const override;
};
