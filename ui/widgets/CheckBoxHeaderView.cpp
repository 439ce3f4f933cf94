#include "CheckBoxHeaderView.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace {
constexpr int kLeftInset = 21;
} // namespace

CheckBoxHeaderView::CheckBoxHeaderView(Qt::Orientation orientation, QObject* extra, QWidget* parent)
    : QHeaderView(orientation, parent)
    , m_extra(extra)
{
    setStretchLastSection(true);
    setDefaultAlignment(Qt::AlignCenter);
    setTextElideMode(Qt::ElideRight);
    setMinimumSectionSize(52);
    setSectionsMovable(false);
    connect(this, &QHeaderView::sectionResized, this, &CheckBoxHeaderView::handleSectionResized);
}

bool CheckBoxHeaderView::setSectionWidget(int section, QWidget* widget, int placement)
{
    if (widget == nullptr || section < 0 || section > count() || m_sectionWidgets.contains(section)) {
        return false;
    }
    widget->hide();
    m_sectionWidgets.insert(section, widget);
    m_placements.insert(section, placement);
    return true;
}

QWidget* CheckBoxHeaderView::sectionWidget(int section) const
{
    return m_sectionWidgets.value(section, nullptr);
}

QObject* CheckBoxHeaderView::extra() const
{
    return m_extra;
}

void CheckBoxHeaderView::updateSectionWidgets()
{
    for (auto it = m_sectionWidgets.cbegin(); it != m_sectionWidgets.cend(); ++it) {
        placeSectionWidget(it.key());
    }
}

// Resizing a section shifts every section after it (in visual order), so those move too.
void CheckBoxHeaderView::handleSectionResized(int logicalIndex)
{
    const int firstVisual = visualIndex(logicalIndex);
    for (auto it = m_sectionWidgets.cbegin(); it != m_sectionWidgets.cend(); ++it) {
        if (visualIndex(it.key()) >= firstVisual) {
            placeSectionWidget(it.key());
        }
    }
}

void CheckBoxHeaderView::showEvent(QShowEvent* event)
{
    QHeaderView::showEvent(event);
    updateSectionWidgets();
}

void CheckBoxHeaderView::scrollContentsBy(int dx, int dy)
{
    QHeaderView::scrollContentsBy(dx, dy);
    updateSectionWidgets();
}

void CheckBoxHeaderView::placeSectionWidget(int section)
{
    QWidget* widget = m_sectionWidgets.value(section, nullptr);
    if (widget == nullptr || section >= count()) {
        return;
    }
    const int left = sectionViewportPosition(section);
    const int size = sectionSize(section);
    const int y = (height() - widget->height()) / 2;
    int x = 0;
    switch (m_placements.value(section)) {
    case PlaceLeft:
        x = left + kLeftInset;
        break;
    case PlaceCentred:
        x = left + (size - widget->width()) / 2;
        break;
    default:
        // The section's last pixel is its border line; the widget ends one pixel inside it.
        x = left + size - 1 - widget->width();
        break;
    }
    widget->move(x, y);
}

void CheckBoxHeaderView::setSectionWidgetVisible(int section, bool visible)
{
    QWidget* widget = m_sectionWidgets.value(section, nullptr);
    if (widget == nullptr || widget->isVisibleTo(this) == visible) {
        return;
    }
    widget->setVisible(visible);
    viewport()->update();
}

int CheckBoxHeaderView::reservedWidth(int section) const
{
    const QWidget* widget = m_sectionWidgets.value(section, nullptr);
    if (widget == nullptr || !widget->isVisibleTo(this) || m_placements.value(section) != PlaceRight) {
        return 0;
    }
    return widget->width() + 1;
}

void CheckBoxHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (logicalIndex == m_labelLaterSection) {
        option->text.clear();
        option->sortIndicator = QStyleOptionHeader::None;
    }
}

// The section's text and sort arrow are painted by the header itself into the room left of the
// widget, elided there; the strip under the widget is painted as the section without its text,
// so the section keeps its background and its divider at its right edge.
void CheckBoxHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    const int reserved = reservedWidth(logicalIndex);
    if (reserved == 0 || orientation() != Qt::Horizontal || reserved >= rect.width()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    const QRect room = rect.adjusted(0, 0, -reserved, 0);
    painter->save();
    painter->setClipRect(room);
    QHeaderView::paintSection(painter, room, logicalIndex);
    painter->restore();
    painter->save();
    painter->setClipRect(QRect(QPoint(room.right() + 1, rect.top()), rect.bottomRight()));
    m_labelLaterSection = logicalIndex;
    QHeaderView::paintSection(painter, rect, logicalIndex);
    m_labelLaterSection = -1;
    painter->restore();
}
