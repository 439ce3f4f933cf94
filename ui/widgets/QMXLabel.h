#pragma once

#include <QLabel>

// Carries its class name for the style sheet; nothing else.
class QMXLabel : public QLabel
{
    Q_OBJECT

public:
    explicit QMXLabel(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags())
        : QLabel(parent, flags)
    {}
    explicit QMXLabel(const QString& text, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags())
        : QLabel(text, parent, flags)
    {}
};
