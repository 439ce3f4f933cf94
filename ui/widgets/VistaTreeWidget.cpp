#include "VistaTreeWidget.h"

#include "CheckBoxHeaderView.h"
#include "VistaDelegate.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kLineColour(78, 83, 90);
const QColor kAlternateBase(30, 31, 35);

void setSubtreeState(QTreeWidgetItem* item, int column, Qt::CheckState state)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        child->setCheckState(column, state);
        setSubtreeState(child, column, state);
    }
}

bool anyDescendantDiffers(const QTreeWidgetItem* item, int column, Qt::CheckState state)
{
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        if (child->checkState(column) != state || anyDescendantDiffers(child, column, state)) {
            return true;
        }
    }
    return false;
}
} // namespace

VistaTreeWidget::VistaTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(32, 32));
    setUniformRowHeights(true);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setIndentation(0);
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::AlternateBase, kAlternateBase);
        colours.setColor(group, QPalette::Base, QColor(19, 20, 24));
        colours.setColor(group, QPalette::Window, QColor(70, 80, 84));
        colours.setColor(group, QPalette::Text, QColor(185, 185, 185));
    }
    setPalette(colours);
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral("VistaTreeWidget { border: 1px solid rgb(78,83,90); }"));
    setItemDelegate(new VistaDelegate(this, this));
    // The row under the mouse is drawn with the hover images, which needs hover tracking.
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    header()->setDefaultAlignment(Qt::AlignCenter);
    header()->setTextElideMode(Qt::ElideRight);
    connect(this, &QTreeWidget::itemChanged, this, &VistaTreeWidget::slot_itemChanged);
}

bool VistaTreeWidget::columnLines() const
{
    return m_columnLines;
}

void VistaTreeWidget::setColumnLines(bool on)
{
    m_columnLines = on;
    viewport()->update();
}

void VistaTreeWidget::updateGeometries()
{
    QTreeWidget::updateGeometries();
    if (auto* checkHeader = qobject_cast<CheckBoxHeaderView*>(header())) {
        checkHeader->updateSectionWidgets();
    }
}

// The tree scrolls its header by moving the header's offset, which scrolls only the header's
// viewport: widgets sitting on the header itself stay behind unless they are placed again.
void VistaTreeWidget::scrollContentsBy(int dx, int dy)
{
    QTreeWidget::scrollContentsBy(dx, dy);
    if (dx == 0) {
        return;
    }
    if (auto* checkHeader = qobject_cast<CheckBoxHeaderView*>(header())) {
        checkHeader->updateSectionWidgets();
    }
}

// Children are settled before the ancestors are judged, so an ancestor sees the final
// states of the whole subtree it sums up.
void VistaTreeWidget::slot_itemChanged(QTreeWidgetItem* item, int column)
{
    if (item == nullptr || !item->data(column, Qt::CheckStateRole).isValid()) {
        return;
    }
    const Qt::CheckState state = item->checkState(column);
    if (state == Qt::PartiallyChecked) {
        return;
    }
    const bool wasBlocked = blockSignals(true);
    setSubtreeState(item, column, state);
    for (QTreeWidgetItem* ancestor = item->parent(); ancestor != nullptr; ancestor = ancestor->parent()) {
        ancestor->setCheckState(column, anyDescendantDiffers(ancestor, column, state) ? Qt::PartiallyChecked : state);
    }
    blockSignals(wasBlocked);
}

void VistaTreeWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void VistaTreeWidget::paintEvent(QPaintEvent* event)
{
    QTreeWidget::paintEvent(event);
    if (!m_columnLines) {
        return;
    }
    QPainter painter(viewport());
    painter.setPen(kLineColour);
    const int columns = header()->count();
    const int lastVisual = header()->stretchLastSection() ? columns - 1 : columns;
    for (int visual = 0; visual < lastVisual; ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (header()->isSectionHidden(logical)) {
            continue;
        }
        const int x = header()->sectionViewportPosition(logical) + header()->sectionSize(logical) - 1;
        painter.drawLine(x, 0, x, viewport()->height());
    }
}

void VistaTreeWidget::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!header()->stretchLastSection() && index.row() % 2 == 1) {
        painter->fillRect(option.rect, kAlternateBase);
    }
    QTreeWidget::drawRow(painter, option, index);
}
