// What the user asks of one device: the control bar's requests, the selection that fills
// the bar, and a double-click that opens the device's web page.

#include "DeviceRowInfo.h"
#include "MainWindow.h"

#include <QTreeWidgetItem>

void MainWindow::slot_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* /*previous*/)
{
    // An emptied list leaves the bar as it was.
    const DeviceRowInfo* record = recordOf(current);
    if (record == nullptr) {
        return;
    }
    // The control bar's work fills the bar from the record here.
}

// Filled by the control bar's work.
void MainWindow::slot_itemDoubleClicked(QTreeWidgetItem* /*item*/, int /*column*/)
{}

// Filled by the control bar's work.
void MainWindow::slot_changeNetworkParam(QString /*mac*/,
                                         QString /*ip*/,
                                         QString /*subnet*/,
                                         QString /*gateway*/,
                                         QString /*password*/,
                                         QString /*httpPort*/,
                                         QString /*dataPort*/,
                                         bool /*bDHCP*/)
{}

// Filled by the control bar's work.
void MainWindow::slot_restorePwd(QString /*mac*/)
{}
