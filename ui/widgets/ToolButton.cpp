#include "ToolButton.h"

#include "QMXMenu.h"

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
    repaint();
    m_menu->exec(mapToGlobal(QPoint(0, 0)) + QPoint(width() - kMenuOffsetFromRight, height()));
    m_arrowPressed = false;
    // The release went to the menu, so the button would otherwise stay drawn pressed.
    setDown(false);
    update();
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
