// The run of a plan: the changes sent one after another off the window's thread, each row's
// state as it comes, and the devices' own reports at the end.

#include "BatchAddressDlg.h"
#include "BatchRowLook.h"
#include "CScanixManage.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "QMXLabel.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"
#include "VistaTreeWidget.h"

#include <QProgressBar>

namespace {

std::string bytes(const QString& value)
{
    return value.toUtf8().toStdString();
}

} // namespace

void BatchAddressDlg::setBusy(bool busy)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_start, m_mask, m_gateway, m_password, m_planButton, m_loadButton, m_applyButton}) {
        w->setEnabled(!busy);
    }
    m_saveButton->setEnabled(!busy && !m_rows.empty() && !m_rows.front().change.ip.empty());
    m_cancelButton->setEnabled(busy);
}

void BatchAddressDlg::slot_apply()
{
    std::vector<ChangeRequest> changes;
    for (Row& row : m_rows) {
        if (row.change.password.empty()) {
            row.change.password = bytes(m_password->text());
        }
        if (row.change.password.empty()) {
            setMessage(getText("IDCS_BATCH_PASSWORD_NEEDED"), true);
            m_password->setFocus();
            return;
        }
        changes.push_back(row.change);
        row.state = BatchApplier::Waiting;
        row.confirmed = false;
        setStatus(row, getText("IDCS_BATCH_WAITING"), BatchRowLook::kPlainText);
    }
    m_done = 0;
    m_progress->setRange(0, static_cast<int>(changes.size()));
    m_progress->setValue(0);
    setBusy(true);
    setMessage(getText("IDCS_BATCH_APPLYING"), false);
    m_applier.start(changes);
}

void BatchAddressDlg::slot_cancel()
{
    m_applier.cancel();
    m_cancelButton->setEnabled(false);
    setMessage(getText("IDCS_BATCH_CANCELLING"), false);
}

void BatchAddressDlg::onRowChanged(int index, BatchApplier::RowState state)
{
    if (index < 0 || index >= static_cast<int>(m_rows.size())) {
        return;
    }
    Row& row = m_rows[static_cast<std::size_t>(index)];
    row.state = state;
    static const struct
    {
        const char* key;
        QColor colour;
    } looks[] = {{"IDCS_BATCH_WAITING", BatchRowLook::kPlainText},
                 {"IDCS_BATCH_SENT", BatchRowLook::kBusyText},
                 {"IDCS_BATCH_APPLIED", BatchRowLook::kGoodText},
                 {"IDCS_BATCH_REFUSED", BatchRowLook::kBadText},
                 {"IDCS_BATCH_NO_ANSWER", BatchRowLook::kBadText},
                 {"IDCS_BATCH_NOT_FOUND", BatchRowLook::kBadText},
                 {"IDCS_BATCH_NOT_SENT", BatchRowLook::kMutedText}};
    setStatus(row, getText(looks[state].key), looks[state].colour);
    if (state != BatchApplier::Sent && state != BatchApplier::Waiting) {
        m_progress->setValue(++m_done);
    } else {
        m_table->scrollToItem(row.item);
    }
}

void BatchAddressDlg::onFinished(bool /*cancelled*/)
{
    setBusy(false);
    m_applyButton->setEnabled(false);
    m_planButton->setEnabled(true);
    emit sig_changesSent();
    setMessage(getText("IDCS_BATCH_CONFIRMING"), false);
    m_confirmElapsedMs = 0;
    m_confirmTimer.start();
}

// A device's own report has the last word: an applied row counts once the device reports its
// new address.
void BatchAddressDlg::confirmRows()
{
    m_confirmElapsedMs += m_confirmTimer.interval();
    int applied = 0;
    int confirmed = 0;
    for (Row& row : m_rows) {
        if (row.state != BatchApplier::Applied) {
            continue;
        }
        ++applied;
        DEVICE_INFO device{};
        if (!row.confirmed && m_manager.FindDevice(row.change.mac.c_str(), device) && row.change.ip == device.ipAddr) {
            row.confirmed = true;
            setStatus(row, getText("IDCS_BATCH_CONFIRMED"), BatchRowLook::kGoodText);
        }
        confirmed += row.confirmed ? 1 : 0;
    }
    const bool over = confirmed == applied || m_confirmElapsedMs >= m_confirmWaitMs;
    if (!over) {
        return;
    }
    m_confirmTimer.stop();
    for (Row& row : m_rows) {
        if (row.state == BatchApplier::Applied && !row.confirmed) {
            setStatus(row, getText("IDCS_BATCH_NOT_CONFIRMED"), BatchRowLook::kBadText);
        }
    }
    const int total = static_cast<int>(m_rows.size());
    setMessage(getText("IDCS_BATCH_DONE").arg(confirmed).arg(total), confirmed != total);
}

void BatchAddressDlg::setConfirmWait(int milliseconds)
{
    m_confirmWaitMs = milliseconds;
}

void BatchAddressDlg::reject()
{
    // A change in flight is let finish: the device must not be left half told.
    if (m_applier.isRunning()) {
        slot_cancel();
        return;
    }
    CustomDialog::reject();
}
