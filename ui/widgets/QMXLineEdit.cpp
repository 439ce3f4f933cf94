#include "QMXLineEdit.h"

QMXLineEdit::QMXLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    applySkinSettings();
}

QMXLineEdit::QMXLineEdit(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
    applySkinSettings();
}

void QMXLineEdit::applySkinSettings()
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setContextMenuPolicy(Qt::NoContextMenu);
}
