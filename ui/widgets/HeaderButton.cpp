#include "HeaderButton.h"

#include "LanguageSrc.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>

HeaderButton::HeaderButton(QWidget* parent)
    : QPushButton(parent)
{
    setFixedSize(32, 33);
}

void HeaderButton::enterEvent(QEnterEvent* event)
{
    setCursor(Qt::ArrowCursor);
    QPushButton::enterEvent(event);
}

void HeaderButton::setFilterActive(bool active)
{
    if (m_filterActive == active) {
        return;
    }
    m_filterActive = active;
    setProperty("filterActive", active);
    setAccessibleDescription(active ? getText("IDCS_FILTER_ON") : QString());
    // A dynamic property takes effect in the style sheet only once the widget is polished again.
    style()->unpolish(this);
    style()->polish(this);
    update();
}

bool HeaderButton::isFilterActive() const
{
    return m_filterActive;
}

void HeaderButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    // The menu key comes as a context-menu event of its own.
    const bool opens = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_F4 ||
                       (key == Qt::Key_F10 && event->modifiers().testFlag(Qt::ShiftModifier));
    if (opens && menu() != nullptr && !event->isAutoRepeat()) {
        event->accept();
        showMenu();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void HeaderButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QColor(56, 145, 180));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void HeaderButton::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard && menu() != nullptr) {
        event->accept();
        showMenu();
        return;
    }
    QPushButton::contextMenuEvent(event);
}
