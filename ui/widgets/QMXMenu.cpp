#include "QMXMenu.h"

QMXMenu::QMXMenu(QWidget* parent)
    : QMenu(parent)
{
    applySkinSettings();
}

QMXMenu::QMXMenu(const QString& title, QWidget* parent)
    : QMenu(title, parent)
{
    applySkinSettings();
}

void QMXMenu::applySkinSettings()
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
}
