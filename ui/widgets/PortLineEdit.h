#pragma once

#include "QMXLineEdit.h"

// A port number field: 0 to 65535, digits only.
class PortLineEdit : public QMXLineEdit
{
    Q_OBJECT

public:
    explicit PortLineEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
