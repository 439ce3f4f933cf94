#pragma once

#include <QCheckBox>

// Carries its class name for the style sheet; nothing else.
class QMXCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit QMXCheckBox(QWidget* parent = nullptr)
        : QCheckBox(parent)
    {}
    explicit QMXCheckBox(const QString& text, QWidget* parent = nullptr)
        : QCheckBox(text, parent)
    {}
};
