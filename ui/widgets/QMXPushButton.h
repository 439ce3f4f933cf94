#pragma once

#include <QPushButton>

// Carries its class name for the style sheet; nothing else.
class QMXPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit QMXPushButton(QWidget* parent = nullptr)
        : QPushButton(parent)
    {}
    explicit QMXPushButton(const QString& text, QWidget* parent = nullptr)
        : QPushButton(text, parent)
    {}
};
