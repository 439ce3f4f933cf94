// What the user asks of one device: the control bar's requests, the selection that fills
// the bar, and a double-click that opens the device's web page. The requests wait seconds for
// the device; they run on a worker thread while the window keeps painting and shows it waits.

#include "AddressOccupancy.h"
#include "DeviceControlBar.h"
#include "DeviceRequests.h"
#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"
#include "ProtocolConstants.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFutureWatcher>
#include <QTreeWidgetItem>
#include <QtConcurrent>

#include <arpa/inet.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// The column that holds the MAC, the device's identity, whatever the user did to the header.
constexpr int kMacColumn = 11;
// How long the local segment may take to answer for an address before a change is sent.
constexpr int kNeighbourProbeMs = 1000;
// A device's texts in a question are cut to this many characters: they are the device's to
// choose, and a long one would push the question out of its box.
constexpr int kShownTextLength = 40;

// The box for each result of a network-parameter change.
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
    default:
        // 9 no answer, 10 refused; no other code may pass for success.
        return {false, "IDCS_IDCS_CHANGE_NETWORK_PARAM_ERROR"};
    }
}

bool supportsPasswordRestore(const QString& deviceType)
{
    return deviceType == QLatin1String("QMX_IPC") || deviceType == QLatin1String("QMX_NETKEYBOARD");
}

// A device's text as a message may show it: on one line, without control characters, cut.
QString shown(const QString& deviceText)
{
    QString text;
    for (const QChar c : deviceText) {
        text += c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ? QChar(' ') : c;
    }
    text = text.simplified();
    if (text.size() > kShownTextLength) {
        text = text.left(kShownTextLength - 1) + QChar(0x2026);
    }
    return text;
}

std::vector<std::string> utf8Texts(const QStringList& texts)
{
    std::vector<std::string> out;
    for (const QString& text : texts) {
        out.push_back(text.toUtf8().toStdString());
    }
    return out;
}

} // namespace

// The form shows the device of the row the user highlighted, and nothing else: the list sets
// a current item of its own accord (when it gets the focus or is filled anew), and a form
// filled from such a row would send the change to a device nobody chose. With several rows
// selected, the current one among them leads.
void MainWindow::slot_selectionChanged()
{
    QTreeWidgetItem* current = m_deviceList->currentItem();
    if (current == nullptr || !current->isSelected()) {
        const QList<QTreeWidgetItem*> selected = m_deviceList->selectedItems();
        current = selected.isEmpty() ? nullptr : selected.first();
    }
    const DeviceRowInfo* record = recordOf(current);
    if (record == nullptr) {
        m_controlBar->setNetworkParam(QString(), QString(), QString(), QString());
        return;
    }
    m_controlBar->setNetworkParam(record->mac, record->ipAddress, record->subnetMask, record->gateway);
    m_controlBar->setRestoreMac(record->mac);
}

void MainWindow::slot_itemDoubleClicked(QTreeWidgetItem* item, int /*column*/)
{
    if (item == nullptr) {
        return;
    }
    const std::string mac = item->text(kMacColumn).toStdString();
    auto url = std::make_shared<std::string>();
    auto opened = std::make_shared<bool>(false);
    // The reachability probe and the launcher's watch take a moment: the cursor says so.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // One watcher per page: a second double-click need not wait for the first page.
    auto* watcher = new QFutureWatcher<void>(this);
    watcher->setObjectName(QStringLiteral("webWatcher"));
    connect(watcher, &QFutureWatcher<void>::finished, this, [watcher, url, opened]() {
        QApplication::restoreOverrideCursor();
        watcher->deleteLater();
        if (*opened) {
            return;
        }
        if (url->empty()) {
            showError(getText("IDCS_WEB_PAGE_NO_ADDRESS"));
        } else {
            showError(getText("IDCS_WEB_PAGE_NOT_OPENED").arg(QString::fromStdString(*url)));
        }
    });
    watcher->setFuture(QtConcurrent::run(
        &m_workers, [this, mac, url, opened]() { *opened = m_searchManage.OpenDeviceWeb(mac.c_str(), url.get()); }));
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
    if (m_requestBusy) {
        return;
    }
    // Values the rule check refuses are not looked for: the change stops at its message.
    const bool rulesPass = CScanixManage::CheckNetParam(inet_addr(ip.toLatin1().constData()),
                                                        inet_addr(subnet.toLatin1().constData()),
                                                        inet_addr(gateway.toLatin1().constData()),
                                                        nullptr);
    auto holder = std::make_shared<AddressHolder>();
    const QStringList values{mac, ip, subnet, gateway, password, httpPort, dataPort};
    runDeviceRequest(
        [rulesPass,
         holder,
         devices = m_searchManage.Devices(),
         macText = mac.toStdString(),
         ipText = ip.toStdString()]() {
            if (rulesPass) {
                *holder = FindAddressHolder(ipText, macText, devices, kNeighbourProbeMs);
            }
        },
        [this, holder, values, bDHCP]() {
            if (confirmAddressClash(values.at(1), *holder)) {
                sendNetworkParam(values, bDHCP);
            }
        });
}

void MainWindow::sendNetworkParam(const QStringList& values, bool dhcp)
{
    auto result = std::make_shared<int>(SETIP_FAILED);
    runDeviceRequest(
        [this, result, dhcp, texts = utf8Texts(values)]() {
            *result = m_searchManage.ChangeNetworkParam(texts[0].c_str(),
                                                        texts[1].c_str(),
                                                        texts[2].c_str(),
                                                        texts[3].c_str(),
                                                        texts[4].c_str(),
                                                        texts[5].c_str(),
                                                        texts[6].c_str(),
                                                        dhcp);
        },
        [result]() {
            const ResultMessage message = networkParamMessage(*result);
            if (message.success) {
                showInformation(getText(message.key));
            } else {
                showError(getText(message.key));
            }
        });
}

bool MainWindow::confirmAddressClash(const QString& ip, const AddressHolder& holder)
{
    const QString name = QString::fromStdString(holder.holder);
    QString question;
    switch (holder.kind) {
    case AddressHolder::Host:
        question = getText("IDCS_ADDRESS_USED_BY_HOST").arg(ip, shown(name));
        break;
    case AddressHolder::Device:
        question = getText("IDCS_ADDRESS_USED_BY_DEVICE").arg(ip, deviceDescription(name));
        break;
    case AddressHolder::Neighbour:
        question = getText("IDCS_ADDRESS_USED_ON_NETWORK").arg(ip, name);
        break;
    case AddressHolder::Free:
        return true;
    }
    return askYesNo(question) == N12_MessageBox::Yes;
}

QString MainWindow::deviceDescription(const QString& mac) const
{
    const DeviceRowInfo* record = m_deviceRecords.find(mac);
    if (record == nullptr) {
        return mac;
    }
    return QStringLiteral("%1 (%2, %3)").arg(shown(record->name), shown(record->model), record->mac);
}

bool MainWindow::confirmRestore(const DeviceRowInfo& record)
{
    return askYesNo(getText("IDCS_RESTORE_PASSWORD_CONFIRM")
                        .arg(shown(record.name), shown(record.model), shown(record.ipAddress))) == N12_MessageBox::Yes;
}

void MainWindow::slot_restorePwd(QString mac)
{
    if (m_requestBusy) {
        return;
    }
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
    if (!confirmRestore(*record)) {
        return;
    }
    auto result = std::make_shared<int>(0);
    runDeviceRequest(
        [this, result, macText = mac.toStdString()]() { *result = m_searchManage.RestoreDefault(macText.c_str()); },
        [this, result]() {
            // The library answers success in the low byte only.
            if ((*result & 0xFF) != 0) {
                showInformation(getText("IDCS_RESTORE_DEVICE_PASSWORD_SUCCESS"));
                m_controlBar->clearRestoreMac();
            } else if ((*result & ~0xFF) == scanix::proto::kRestoreRefusedButton) {
                // The device opens its restore window only after a press of its reset button.
                showError(getText("IDCS_RESTORE_PRESS_RESET_BUTTON"));
            } else {
                showError(getText("IDCS_RESTORE_DEVICE_PASSWORD_ERROR"));
            }
        });
}

bool MainWindow::requestRunning() const
{
    return m_requestBusy;
}

void MainWindow::runDeviceRequest(std::function<void()> work, std::function<void()> done)
{
    if (m_requestWatcher == nullptr) {
        m_requestWatcher = new QFutureWatcher<void>(this);
        connect(m_requestWatcher, &QFutureWatcher<void>::finished, this, &MainWindow::finishDeviceRequest);
    }
    m_requestDone = std::move(done);
    setRequestBusy(true);
    m_requestWatcher->setFuture(QtConcurrent::run(&m_workers, std::move(work)));
}

void MainWindow::finishDeviceRequest()
{
    // Taken first: what comes next may start the following request.
    std::function<void()> done = std::move(m_requestDone);
    m_requestDone = nullptr;
    setRequestBusy(false);
    if (done) {
        done();
    }
}

void MainWindow::setRequestBusy(bool busy)
{
    if (busy == m_requestBusy) {
        return;
    }
    m_requestBusy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    m_controlBar->setBusy(busy);
}

// A request still on a worker uses the search manager: it ends (bounded by its own waits)
// before the manager stops, and its outcome is no longer shown.
void MainWindow::waitForWorkers()
{
    QList<QFutureWatcher<void>*> watchers = findChildren<QFutureWatcher<void>*>(QStringLiteral("webWatcher"));
    watchers << m_requestWatcher;
    for (QFutureWatcher<void>* watcher : std::as_const(watchers)) {
        if (watcher != nullptr && watcher->isRunning()) {
            watcher->disconnect(this);
            watcher->waitForFinished();
            QApplication::restoreOverrideCursor();
        }
    }
}

// The request in flight holds the search manager: the window stays until its answer is in.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_requestBusy) {
        event->ignore();
        return;
    }
    BaseDialog::closeEvent(event);
}
