// When the list is searched again: the refresh menu's choice and the refresh button.

#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>

void MainWindow::slot_refreshMenuTriggered(QAction* action)
{
    const int interval = action->data().toInt();
    if (interval != 0) {
        // Leaving manual mode: the manager empties its store and reports every device afresh.
        if (m_autoRefreshOff) {
            clearDeviceList();
        }
        m_autoRefreshOff = false;
    } else {
        m_autoRefreshOff = true;
    }
    m_searchManage.SetAutoInterval(interval);
}

void MainWindow::slot_refresh()
{
    const QAction* checked = m_refreshGroup->checkedAction();
    const bool manual = checked != nullptr && checked->data().toInt() == 0;
    clearDeviceList();
    m_searchManage.Refresh(manual);
}
