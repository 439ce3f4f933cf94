// What the user asks of one device: the control bar's requests, the selection that fills
// the bar, and a double-click that opens the device's web page.

#include "DeviceControlBar.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"
#include "ProtocolConstants.h"

#include <QApplication>
#include <QTreeWidgetItem>

namespace {

// The column that holds the MAC, the device's identity, whatever the user did to the header.
constexpr int kMacColumn = 11;

// The requests block this thread for up to several seconds while the device answers: the wait
// cursor tells the user the tool is working, and goes on every way out of the call.
class WaitCursor
{
public:
    WaitCursor()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The box for each result of a network-parameter change; a null key: no box.
struct ResultMessage
{
    bool success;
    const char* key;
};

ResultMessage networkParamMessage(int result)
{
    switch (result) {
    case 0:
        return {true, "IDCS_IDCS_CHANGE_NETWORK_PARAM_SUCCESS"};
    case 1:
        return {false, "IDCS_ERROR_IP_MASK_ALL1"};
    case 2:
        return {false, "IDCS_ERROR_IP_MASK_ALL0"};
    case 3:
        return {false, "IDCS_ERROR_USE_LOOPBACK"};
    case 4:
        return {false, "IDCS_ERROR_IP_ROUTE_INVALID"};
    case 5:
        return {false, "IDCS_ERROR_MASK_NOT_CONTINE"};
    case 6:
        return {false, "IDCS_ERROR_DIFFERENT_SEGMENT"};
    case 7:
        return {false, "IDCS_ERROR_ROUTE_MASK_ALL1"};
    case 8:
        return {false, "IDCS_ERROR_ROUTE_MASK_ALL0"};
    case 9:
    case 10:
        return {false, "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR"};
    default:
        // 11: a device type that does not answer the request; there is nothing to report.
        return {false, nullptr};
    }
}

bool supportsPasswordRestore(const QString& deviceType)
{
    return deviceType == QLatin1String("QMX_IPC") || deviceType == QLatin1String("QMX_NETKEYBOARD");
}

} // namespace

void MainWindow::slot_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* /*previous*/)
{
    // An emptied list leaves the bar as it was.
    const DeviceRowInfo* record = recordOf(current);
    if (record == nullptr) {
        return;
    }
    m_controlBar->setNetworkParam(record->mac, record->ipAddress, record->subnetMask, record->gateway);
}

void MainWindow::slot_itemDoubleClicked(QTreeWidgetItem* item, int /*column*/)
{
    if (item == nullptr) {
        return;
    }
    m_searchManage.OpenDeviceWeb(item->text(kMacColumn).toUtf8().constData());
}

void MainWindow::slot_changeNetworkParam(QString mac,
                                         QString ip,
                                         QString subnet,
                                         QString gateway,
                                         QString password,
                                         QString httpPort,
                                         QString dataPort,
                                         bool bDHCP)
{
    int result = 0;
    {
        const WaitCursor busy;
        result = m_searchManage.SetNetworkParam(mac.toUtf8().constData(),
                                                ip.toUtf8().constData(),
                                                subnet.toUtf8().constData(),
                                                gateway.toUtf8().constData(),
                                                password.toUtf8().constData(),
                                                httpPort.toUtf8().constData(),
                                                dataPort.toUtf8().constData(),
                                                bDHCP);
    }
    const ResultMessage message = networkParamMessage(result);
    if (message.key == nullptr) {
        return;
    }
    if (message.success) {
        showInformation(getText(message.key));
    } else {
        showError(getText(message.key));
    }
}

void MainWindow::slot_restorePwd(QString mac)
{
    // The records hold filtered-out devices too, so a device the list hides can be restored.
    const DeviceRowInfo* record = m_deviceRecords.find(mac);
    if (record == nullptr) {
        showError(getText("IDCS_PROMPT_DEVICE_NOT_EXIST"));
        return;
    }
    if (!supportsPasswordRestore(record->deviceType)) {
        showError(getText("IDCS_PROMPT_DEVICE_NOT_SUPPORT"));
        return;
    }
    int result = 0;
    {
        const WaitCursor busy;
        result = m_searchManage.RestoreDefault(mac.toUtf8().constData());
    }
    // The library answers success in the low byte only.
    if ((result & 0xFF) != 0) {
        showInformation(getText("IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS"));
        m_controlBar->clearRestoreMac();
    } else if ((result & ~0xFF) == scanix::proto::kRestoreRefusedButton) {
        // The device opens its restore window only after a press of its reset button.
        showError(getText("IDCS_RESTORE_PRESS_RESET_BUTTON"));
    } else {
        showError(getText("IDCS_RESTORE_DEVICE_PASSWORD_ERROR"));
    }
}
