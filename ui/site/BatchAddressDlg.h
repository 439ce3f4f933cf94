#pragma once

#include "BatchApplier.h"
#include "BatchPlan.h"
#include "CustomDialog.h"

#include <QHash>
#include <QTimer>

#include <cstdint>
#include <set>
#include <vector>

class CScanixManage;
class IpAddrEdit;
class QMXLabel;
class QMXLineEdit;
class QMXPushButton;
class QProgressBar;
class QTreeWidgetItem;
class VistaTreeWidget;

// Gives many devices their addresses in one go: a plan from a start address that passes over
// every address in use, checked by the addressing rules row by row before anything is sent;
// then the changes one after another with each row's state, and a last look at what the
// devices report afterwards. The plan can be saved and read as a batch-ip change list.
class BatchAddressDlg : public CustomDialog
{
    Q_OBJECT

public:
    // selected: the devices to address, in list order; listed: every device the window knows
    // (for names of loaded plans); held: addresses not to hand out.
    BatchAddressDlg(CScanixManage& manager,
                    std::vector<PlanDevice> selected,
                    std::vector<PlanDevice> listed,
                    HeldAddresses held,
                    QWidget* parent = nullptr);

    // The plan's change list text, as "Save plan" writes it.
    QString planCsv() const;
    // Reads a change list; false (the reason in the message line) when a row is not usable.
    bool loadPlanText(const QByteArray& text);
    // Looks at what the devices report after a run: time the reports have to come.
    void setConfirmWait(int milliseconds);
    // A plan is being checked against the hosts answering on the network.
    bool isProbing() const;
    // How long making and showing the last plan took, for the record.
    qint64 lastPlanMs() const;

signals:
    // The changes were sent: the list should search again, so the new addresses show.
    void sig_changesSent();

public slots:
    void slot_plan();
    void slot_apply();
    void slot_cancel();
    void slot_savePlan();
    void slot_loadPlan();

protected:
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row
    {
        PlanDevice device;
        ChangeRequest change;
        QTreeWidgetItem* item = nullptr;
        BatchApplier::RowState state = BatchApplier::Waiting;
        bool confirmed = false;
    };

    void buildForm();
    void makePlan(int round);
    void onProbed(const std::set<std::uint32_t>& answering, int round);
    void showPlan(const AddressPlan& plan);
    void addRow(const PlanDevice& device, const ChangeRequest& change);
    void setStatus(Row& row, const QString& text, const QColor& colour);
    void setMessage(const QString& text, bool problem);
    void setBusy(bool busy);
    void onRowChanged(int index, BatchApplier::RowState state);
    void onFinished(bool cancelled);
    void confirmRows();

    CScanixManage& m_manager;
    std::vector<PlanDevice> m_selected;
    QHash<QString, PlanDevice> m_listed;
    HeldAddresses m_held;
    AddressPlan m_plan;
    std::string m_startText, m_maskText, m_gatewayText;
    bool m_probing = false;
    qint64 m_planMs = 0;
    std::vector<Row> m_rows;
    BatchApplier m_applier;
    QTimer m_confirmTimer;
    int m_confirmWaitMs = 8000;
    int m_confirmElapsedMs = 0;
    int m_done = 0;

    QWidget* m_body = nullptr;
    QWidget* m_buttonBar = nullptr;
    IpAddrEdit* m_start = nullptr;
    IpAddrEdit* m_mask = nullptr;
    IpAddrEdit* m_gateway = nullptr;
    QMXLineEdit* m_password = nullptr;
    QMXPushButton* m_planButton = nullptr;
    QMXPushButton* m_loadButton = nullptr;
    QMXPushButton* m_saveButton = nullptr;
    VistaTreeWidget* m_table = nullptr;
    QMXLabel* m_message = nullptr;
    QProgressBar* m_progress = nullptr;
    QMXPushButton* m_applyButton = nullptr;
    QMXPushButton* m_cancelButton = nullptr;
    QMXPushButton* m_closeButton = nullptr;
};
