// What the window remembers between runs: its rectangle, the list's columns and sort, the
// refresh choice and whether the control bar is open.

#include "DeviceControlBar.h"
#include "DeviceTreeHeaderView.h"
#include "IconButton.h"
#include "MainWindow.h"
#include "QMXMenu.h"
#include "VistaTreeWidget.h"
#include "WindowSettings.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr int kColumnCount = 16;
// Wider than any column needs; a remembered width beyond it is not the user's.
constexpr int kWidestColumn = 2000;
// How much of the title strip must lie on a screen for the window to be reachable there.
constexpr int kTitleBandHeight = 30;
constexpr int kVisibleTitleWidth = 120;

// A remembered rectangle from another screen set-up could put the title strip (the only
// handle of a frameless window) out of reach.
bool titleOnAScreen(const QRect& rect)
{
    const QRect band(rect.x(), rect.y(), rect.width(), kTitleBandHeight);
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&band](const QScreen* screen) {
        const QRect shown = band.intersected(screen->availableGeometry());
        return shown.width() >= kVisibleTitleWidth && shown.height() >= kTitleBandHeight / 2;
    });
}
} // namespace

SavedWindowState MainWindow::savedState() const
{
    SavedWindowState state;
    state.normalGeometry = m_maximized ? m_normalGeometry : geometry();
    state.maximized = m_maximized;
    state.headerState = m_header->saveState();
    state.sortColumn = m_deviceList->sortColumn();
    state.sortOrder = static_cast<int>(m_header->sortIndicatorOrder());
    const QAction* refresh = m_refreshGroup->checkedAction();
    state.refreshInterval = refresh != nullptr ? refresh->data().toInt() : -1;
    state.controlBarOpen = m_deviceBarButton->isChecked() ? 1 : 0;
    state.networkSectionOpen = m_controlBar->networkSectionOpen() ? 1 : 0;
    state.restoreSectionOpen = m_controlBar->restoreSectionOpen() ? 1 : 0;
    return state;
}

void MainWindow::restoreSavedState(const SavedWindowState& state)
{
    restoreGeometryFrom(state);
    restoreColumnsFrom(state);
    if (state.sortColumn >= 0 && DeviceTreeHeaderView::isSortableColumn(state.sortColumn) && state.sortOrder >= 0) {
        m_deviceList->sortByColumn(state.sortColumn, static_cast<Qt::SortOrder>(state.sortOrder));
    }
    for (QAction* action : m_refreshGroup->actions()) {
        if (state.refreshInterval >= 0 && action->data().toInt() == state.refreshInterval && !action->isChecked()) {
            action->setChecked(true);
            slot_refreshMenuTriggered(action);
            // Stopping the periodic search also ends the first one at once: on demand
            // still begins with one search, as every start does.
            if (state.refreshInterval == 0) {
                slot_refresh();
            }
        }
    }
    if (state.controlBarOpen >= 0) {
        m_deviceBarButton->setChecked(state.controlBarOpen == 1);
    }
    if (state.networkSectionOpen >= 0 && state.restoreSectionOpen >= 0) {
        m_controlBar->setSectionsOpen(state.networkSectionOpen == 1, state.restoreSectionOpen == 1);
    }
}

void MainWindow::restoreGeometryFrom(const SavedWindowState& state)
{
    if (!state.normalGeometry.isValid() || !titleOnAScreen(state.normalGeometry)) {
        return;
    }
    setGeometry(state.normalGeometry);
    if (state.maximized && !m_maximized) {
        slot_maxBtnClicked();
    }
}

// The header's own record of order, widths and hidden columns; what it may not change (the
// header's fixed behaviour) is set back, and a record that leaves the list unusable is undone.
void MainWindow::restoreColumnsFrom(const SavedWindowState& state)
{
    if (state.headerState.isEmpty()) {
        return;
    }
    const QByteArray before = m_header->saveState();
    const int minimumWidth = m_header->minimumSectionSize();
    if (!m_header->restoreState(state.headerState) || m_header->count() != kColumnCount ||
        m_header->hiddenSectionCount() >= kColumnCount) {
        m_header->restoreState(before);
    }
    m_header->setMinimumSectionSize(minimumWidth);
    m_header->setStretchLastSection(false);
    m_header->setSectionsMovable(true);
    m_header->setFirstSectionMovable(true);
    m_header->setSectionsClickable(false);
    m_header->setSortIndicatorShown(false);
    for (int column = 0; column < kColumnCount; ++column) {
        if (!m_header->isSectionHidden(column)) {
            m_header->resizeSection(column, qBound(minimumWidth, m_header->sectionSize(column), kWidestColumn));
        }
    }
    for (QAction* action : m_header->columnMenu()->actions()) {
        action->setChecked(!m_header->isSectionHidden(action->data().toInt()));
    }
    m_header->updateSectionWidgets();
}
