#include "ToolButton.h"

#include "QMXMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// Left edge of the menu relative to the button's right edge: the menu hangs under the arrow.
constexpr int kMenuOffsetFromRight = 24;
const char* const kArrowImage = ":/skin/combox_arrow.png";
} // namespace

ToolButton::ToolButton(const QString& text, bool withMenu, QWidget* parent)
    : QPushButton(text, parent)
    , m_withMenu(withMenu)
{
    if (!m_withMenu) {
        return;
    }
    m_menu = new QMXMenu(this);
    setMenu(m_menu);
    // QPushButton pops its menu on every press; this button opens it only from the arrow.
    disconnect(this, SIGNAL(pressed()), this, SLOT(_q_popupPressed()));
    m_menu->installEventFilter(this);
}

QMXMenu* ToolButton::toolMenu() const
{
    return m_menu;
}

bool ToolButton::isInArrowZone(const QPoint& point) const
{
    return point.x() >= width() - kArrowZoneWidth && point.x() < width() && point.y() >= 0 && point.y() < height();
}

bool ToolButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_menu && event->type() == QEvent::Show) {
        m_menu->move(mapToGlobal(QPoint(0, 0)) + QPoint(width() - kMenuOffsetFromRight, height()));
    }
    return QPushButton::eventFilter(watched, event);
}

void ToolButton::mousePressEvent(QMouseEvent* event)
{
    const bool onArrow = m_withMenu && isInArrowZone(event->position().toPoint());
    // Only a press on the arrow darkens the arrow box; a press on the text is a plain click.
    m_arrowPressed = onArrow;
    QPushButton::mousePressEvent(event);
    if (!onArrow) {
        return;
    }
    openMenu();
}

void ToolButton::openMenu()
{
    if (!m_withMenu) {
        return;
    }
    m_arrowPressed = true;
    repaint();
    // From the keyboard the menu opens on its checked entry, ready for the arrow keys.
    for (QAction* action : m_menu->actions()) {
        if (action->isChecked()) {
            m_menu->setActiveAction(action);
        }
    }
    m_menu->exec(mapToGlobal(QPoint(0, 0)) + QPoint(width() - kMenuOffsetFromRight, height()));
    m_arrowPressed = false;
    // The release went to the menu, so the button would otherwise stay drawn pressed.
    setDown(false);
    update();
}

void ToolButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    // The menu key comes as a context-menu event of its own.
    const bool menuKey = key == Qt::Key_F4 || key == Qt::Key_Down ||
                         (key == Qt::Key_F10 && event->modifiers().testFlag(Qt::ShiftModifier));
    if (m_withMenu && menuKey && !event->isAutoRepeat()) {
        event->accept();
        openMenu();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        event->accept();
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void ToolButton::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_withMenu && event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        openMenu();
        return;
    }
    QPushButton::contextMenuEvent(event);
}

void ToolButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_arrowPressed = false;
    QPushButton::mouseReleaseEvent(event);
}

void ToolButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    option.features &= ~QStyleOptionButton::HasMenu;
    painter.drawControl(QStyle::CE_PushButton, option);
    // The keyboard focus shows as a thin accent frame, as on the other controls.
    if (hasFocus()) {
        painter.setPen(QColor(56, 145, 180));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!m_withMenu) {
        return;
    }
    const QRect box(width() - kArrowZoneWidth, (height() - kArrowZoneWidth) / 2, kArrowZoneWidth, kArrowZoneWidth);
    if (m_arrowPressed) {
        painter.fillRect(box, QColor(61, 64, 69));
    }
    // The arrow image is a strip of three 23-pixel states: normal, hover, pressed.
    const QPixmap arrow(QString::fromLatin1(kArrowImage));
    int state = 0;
    if (m_arrowPressed) {
        state = 2;
    } else if (underMouse() && isEnabled()) {
        state = 1;
    }
    painter.drawPixmap(box, arrow, QRect(state * kArrowZoneWidth, 0, kArrowZoneWidth, kArrowZoneWidth));
}
