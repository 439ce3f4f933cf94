// Activation from the device list: the row's context menu offers it for a device that is not
// activated; the dialog asks for the first password, the engine seals it to the device's key.
#include "ActivateDeviceDialog.h"
#include "DeviceRequests.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"
#include "QMXMenu.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QTreeWidgetItem>

void MainWindow::connectDeviceContextMenu()
{
    m_deviceList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_deviceList, &QWidget::customContextMenuRequested, this, &MainWindow::slot_deviceContextMenu);
}

void MainWindow::slot_deviceContextMenu(const QPoint& position)
{
    const DeviceRowInfo* record = recordOf(m_deviceList->itemAt(position));
    if (record == nullptr) {
        return;
    }
    QMXMenu menu(this);
    addActivateEntry(menu, *record);
    menu.exec(m_deviceList->viewport()->mapToGlobal(position));
}

void MainWindow::addActivateEntry(QMenu& menu, const DeviceRowInfo& record)
{
    QAction* action = menu.addAction(getText("IDCS_ACTIVATE_DEVICE_MENU"));
    action->setObjectName(QStringLiteral("activateDeviceAction"));
    // The record's value: 1 is a device waiting for its first password.
    action->setEnabled(record.activation == 1);
    const QString mac = record.mac;
    connect(action, &QAction::triggered, this, [this, mac] { activateDevice(mac); });
}

void MainWindow::activateDevice(const QString& mac)
{
    const DeviceRowInfo* record = m_deviceRecords.find(mac);
    if (record == nullptr) {
        showError(getText("IDCS_PROMPT_DEVICE_NOT_EXIST"));
        return;
    }
    ActivateDeviceDialog dialog(record->name, mac, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = m_searchManage.ActivateDevice(mac.toUtf8().constData(), dialog.password().toUtf8().constData());
    QApplication::restoreOverrideCursor();
    if (code == SETIP_OK) {
        showInformation(getText("IDCS_ACTIVATE_SUCCESS"));
    } else {
        showError(getText("IDCS_ACTIVATE_FAILED"));
    }
}
