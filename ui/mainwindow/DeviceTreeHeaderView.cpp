#include "DeviceTreeHeaderView.h"

#include "QMXMenu.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QTreeView>

namespace {
// The header row is 32 pixels high; a section's rectangle for the mouse test spans it.
constexpr int kSectionBottom = 31;
constexpr int kMinimumSectionSize = 70;
} // namespace

DeviceTreeHeaderView::DeviceTreeHeaderView(QWidget* parent)
    : CheckBoxHeaderView(Qt::Horizontal, nullptr, parent)
    , m_columnMenu(new QMXMenu(this))
{
    setObjectName(QStringLiteral("deviceTreeHeader"));
    // The base header stretches its last section and keeps sections fixed; this list wants
    // its columns movable, a wider minimum and no stretching.
    setStretchLastSection(false);
    setMinimumSectionSize(kMinimumSectionSize);
    setSectionsMovable(true);
    setFirstSectionMovable(true);
    setSectionsClickable(false);
    setSortIndicatorShown(false);
    setMouseTracking(true);
    connect(this, &QHeaderView::sectionMoved, this, &DeviceTreeHeaderView::slot_sectionMoved);
    connect(m_columnMenu, &QMenu::triggered, this, &DeviceTreeHeaderView::slot_columnMenuTriggered);
}

void DeviceTreeHeaderView::buildColumnMenu()
{
    auto* group = new QActionGroup(m_columnMenu);
    group->setExclusive(false);
    const QAbstractItemModel* headerModel = model();
    for (int column = 0; column < count(); ++column) {
        const QString text =
            headerModel != nullptr ? headerModel->headerData(column, orientation()).toString() : QString();
        QAction* action = m_columnMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(!isSectionHidden(column));
        action->setData(column);
        group->addAction(action);
        m_columnActions.insert(column, action);
    }
}

QMXMenu* DeviceTreeHeaderView::columnMenu() const
{
    return m_columnMenu;
}

bool DeviceTreeHeaderView::isSortableColumn(int column)
{
    return column == 3 || column == 5 || (column >= 8 && column <= 11);
}

void DeviceTreeHeaderView::slot_hide(int col)
{
    if (QWidget* widget = sectionWidget(col)) {
        const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
        if (!sectionRect(col).contains(mouse)) {
            widget->hide();
        }
    }
    m_menuOpen = false;
}

void DeviceTreeHeaderView::slot_show(int col)
{
    if (QWidget* widget = sectionWidget(col)) {
        widget->show();
        m_menuOpen = true;
    }
}

void DeviceTreeHeaderView::slot_sectionMoved(int /*logicalIndex*/, int /*oldVisualIndex*/, int /*newVisualIndex*/)
{
    updateSectionWidgets();
}

void DeviceTreeHeaderView::slot_columnMenuTriggered(QAction* action)
{
    int unchecked = 0;
    for (QAction* entry : std::as_const(m_columnActions)) {
        if (!entry->isChecked()) {
            ++unchecked;
        }
    }
    if (unchecked == m_columnActions.size()) {
        action->setChecked(true);
        return;
    }
    setSectionHidden(action->data().toInt(), !action->isChecked());
}

void DeviceTreeHeaderView::mousePressEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    const int section = logicalIndexAt(x);
    if (event->button() == Qt::LeftButton && section >= 0 && !inGripMargin(section, x)) {
        if (isSortableColumn(section)) {
            if (auto* view = qobject_cast<QTreeView*>(parentWidget())) {
                view->setSortingEnabled(true);
            }
            setSectionsClickable(true);
            setSortIndicator(section, sortIndicatorOrder());
            setSortIndicatorShown(true);
        } else {
            setSortIndicatorShown(false);
            // Nudging a width repaints the whole header without the indicator.
            resizeSection(1, sectionSize(1) - 1);
            resizeSection(1, sectionSize(1) + 1);
        }
    }
    CheckBoxHeaderView::mousePressEvent(event);
}

void DeviceTreeHeaderView::mouseReleaseEvent(QMouseEvent* event)
{
    CheckBoxHeaderView::mouseReleaseEvent(event);
    setSectionsClickable(false);
}

void DeviceTreeHeaderView::mouseMoveEvent(QMouseEvent* event)
{
    CheckBoxHeaderView::mouseMoveEvent(event);
    showOnlySectionWidget(logicalIndexAt(event->position().toPoint().x()));
}

void DeviceTreeHeaderView::leaveEvent(QEvent* event)
{
    CheckBoxHeaderView::leaveEvent(event);
    if (!m_menuOpen) {
        showOnlySectionWidget(-1);
    }
}

void DeviceTreeHeaderView::contextMenuEvent(QContextMenuEvent* event)
{
    CheckBoxHeaderView::contextMenuEvent(event);
    m_columnMenu->exec(event->globalPos());
}

void DeviceTreeHeaderView::showOnlySectionWidget(int section)
{
    for (int column = 0; column < count(); ++column) {
        if (QWidget* widget = sectionWidget(column)) {
            widget->setVisible(column == section);
        }
    }
}

QRect DeviceTreeHeaderView::sectionRect(int section) const
{
    const int left = sectionViewportPosition(section);
    return QRect(QPoint(left, 0), QPoint(left + sectionSize(section) - 1, kSectionBottom));
}

bool DeviceTreeHeaderView::inGripMargin(int section, int x) const
{
    const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = sectionViewportPosition(section);
    const int right = left + sectionSize(section);
    return x < left + margin || x >= right - margin;
}
