#include "DeviceTreeHeaderView.h"

#include "QMXMenu.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
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
    // Reached with Tab only: a click on the header sorts or resizes and leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    connect(qApp, &QApplication::focusChanged, this, &DeviceTreeHeaderView::slot_focusChanged);
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

void DeviceTreeHeaderView::setActiveFilterSection(int section)
{
    m_activeFilterSection = section;
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    showOnlySectionWidget(underMouse() ? logicalIndexAt(mouse.x()) : -1);
}

int DeviceTreeHeaderView::activeFilterSection() const
{
    return m_activeFilterSection;
}

void DeviceTreeHeaderView::slot_hide(int col)
{
    if (sectionWidget(col) != nullptr) {
        const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
        if (!sectionRect(col).contains(mouse) && col != m_activeFilterSection && !m_keyboardInside) {
            setSectionWidgetVisible(col, false);
        }
    }
    m_menuOpen = false;
}

void DeviceTreeHeaderView::slot_show(int col)
{
    if (sectionWidget(col) != nullptr) {
        setSectionWidgetVisible(col, true);
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
            nudgeRepaint();
        }
    }
    CheckBoxHeaderView::mousePressEvent(event);
}

// Nudging a width down and back repaints the whole header without the indicator. A hidden
// section is never nudged: resizing it would set the width it comes back with.
void DeviceTreeHeaderView::nudgeRepaint()
{
    int section = 1;
    for (int visual = 0; isSectionHidden(section) && visual < count(); ++visual) {
        section = logicalIndex(visual);
    }
    if (section < 0 || isSectionHidden(section)) {
        return;
    }
    const int size = sectionSize(section);
    resizeSection(section, size - 1);
    resizeSection(section, size);
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
    if (event->reason() == QContextMenuEvent::Keyboard) {
        openColumnMenuFromKeyboard();
        return;
    }
    m_columnMenu->exec(event->globalPos());
}

void DeviceTreeHeaderView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool opens = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
                       (key == Qt::Key_F10 && event->modifiers().testFlag(Qt::ShiftModifier));
    if (opens && !event->isAutoRepeat()) {
        event->accept();
        openColumnMenuFromKeyboard();
        return;
    }
    CheckBoxHeaderView::keyPressEvent(event);
}

// Under the header's left end, on its first entry, ready for the arrow keys.
void DeviceTreeHeaderView::openColumnMenuFromKeyboard()
{
    const QList<QAction*> entries = m_columnMenu->actions();
    if (!entries.isEmpty()) {
        m_columnMenu->setActiveAction(entries.first());
    }
    m_columnMenu->exec(mapToGlobal(QPoint(0, height())));
}

void DeviceTreeHeaderView::paintEvent(QPaintEvent* event)
{
    CheckBoxHeaderView::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(viewport());
        painter.setPen(QColor(56, 145, 180));
        painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
    }
}

void DeviceTreeHeaderView::slot_focusChanged(QWidget* /*old*/, QWidget* now)
{
    // A popup opened from here (a filter, the column menu) leaves the keyboard where it was: the
    // focus comes back to its button when it closes, so the button must still be there.
    if (now != nullptr && now->window()->windowType() == Qt::Popup) {
        return;
    }
    const bool inside = now != nullptr && (now == this || isAncestorOf(now));
    if (inside == m_keyboardInside) {
        return;
    }
    m_keyboardInside = inside;
    viewport()->update();
    if (inside) {
        showOnlySectionWidget(-1);
    } else if (!m_menuOpen) {
        showOnlySectionWidget(underMouse() ? logicalIndexAt(viewport()->mapFromGlobal(QCursor::pos()).x()) : -1);
    }
}

void DeviceTreeHeaderView::showOnlySectionWidget(int section)
{
    for (int column = 0; column < count(); ++column) {
        if (sectionWidget(column) != nullptr) {
            setSectionWidgetVisible(column, m_keyboardInside || column == section || column == m_activeFilterSection);
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
