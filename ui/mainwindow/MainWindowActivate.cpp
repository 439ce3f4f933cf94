// Activation from the device list: the row's context menu offers it for a device that is not
// activated; the dialog asks for the first password, the engine seals it to the device's key.
#include "ActivateDeviceDialog.h"
#include "DeviceRequests.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"

#include <QMenu>

#include <memory>

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
    if (requestRunning()) {
        return;
    }
    // Off the window's thread like every request: the key derivation and the wait take a while.
    auto code = std::make_shared<int>(SETIP_FAILED);
    runDeviceRequest(
        [this, code, macText = mac.toStdString(), password = dialog.password().toStdString()]() {
            *code = m_searchManage.ActivateDevice(macText.c_str(), password.c_str());
        },
        [code]() {
            if (*code == SETIP_OK) {
                showInformation(getText("IDCS_ACTIVATE_SUCCESS"));
            } else {
                showError(getText("IDCS_ACTIVATE_FAILED"));
            }
        });
}
