#pragma once

#include <QPushButton>

// An image button: painted as a plain push button without the focus frame, which
// would otherwise be drawn over the artwork after a keyboard focus change.
class QMXButton : public QPushButton
{
    Q_OBJECT

public:
    explicit QMXButton(QWidget* parent = nullptr);
    explicit QMXButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
