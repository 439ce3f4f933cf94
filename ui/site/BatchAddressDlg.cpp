#include "BatchAddressDlg.h"

#include "Addressing.h"
#include "BatchRowLook.h"
#include "CScanixManage.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "QMXLabel.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"
#include "SegmentProbe.h"
#include "SiteFiles.h"
#include "VistaTreeWidget.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <arpa/inet.h>

namespace {

// How long the planned addresses have to answer a connection attempt, and how many times the
// plan moves past hosts found that way.
constexpr int kProbeWaitMs = 1000;
constexpr int kProbeRounds = 3;

enum Column
{
    ColName,
    ColModel,
    ColMac,
    ColCurrent,
    ColNew,
    ColStatus,
    ColCount
};

QString text(const std::string& value)
{
    return QString::fromUtf8(value.data(), static_cast<int>(value.size()));
}

std::string bytes(const QString& value)
{
    return value.toUtf8().toStdString();
}

// A tooltip is read as markup when it looks like markup; a device's text, escaped inside a tag,
// is always shown as the characters it holds.
QString plainTip(const QString& value)
{
    return QStringLiteral("<span>%1</span>").arg(value.toHtmlEscaped());
}

QMXPushButton* button(const char* key, const char* name, QWidget* parent)
{
    auto* b = new QMXPushButton(getText(key), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumHeight(24);
    return b;
}

QMXLabel* label(const char* key, QWidget* parent)
{
    return new QMXLabel(getText(key), parent);
}

} // namespace

BatchAddressDlg::BatchAddressDlg(CScanixManage& manager,
                                 std::vector<PlanDevice> selected,
                                 std::vector<PlanDevice> listed,
                                 HeldAddresses held,
                                 QWidget* parent)
    : CustomDialog(parent)
    , m_manager(manager)
    , m_selected(std::move(selected))
    , m_held(std::move(held))
    , m_applier(manager)
{
    setObjectName(QStringLiteral("batchAddressDialog"));
    setTitle(getText("IDCS_BATCH_TITLE"));
    for (PlanDevice& device : listed) {
        m_listed.insert(text(device.mac), std::move(device));
    }
    buildForm();
    connect(&m_applier, &BatchApplier::rowChanged, this, &BatchAddressDlg::onRowChanged);
    connect(&m_applier, &BatchApplier::finished, this, &BatchAddressDlg::onFinished);
    m_confirmTimer.setInterval(250);
    connect(&m_confirmTimer, &QTimer::timeout, this, &BatchAddressDlg::confirmRows);
    // The devices in list order, with their current addresses, before any plan is made.
    for (const PlanDevice& device : m_selected) {
        addRow(device, ChangeRequest{device.mac, "", "", "", "", "", ""});
    }
    setMessage(getText("IDCS_BATCH_HINT").arg(m_selected.size()), false);
    resize(900, 600);
}

void BatchAddressDlg::buildForm()
{
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("batchBody"));
    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    m_start = new IpAddrEdit(body);
    m_start->setObjectName(QStringLiteral("startAddress"));
    m_mask = new IpAddrEdit(body);
    m_mask->setObjectName(QStringLiteral("mask"));
    m_mask->setText(QStringLiteral("255.255.255.0"));
    m_gateway = new IpAddrEdit(body);
    m_gateway->setObjectName(QStringLiteral("gateway"));
    m_password = new QMXLineEdit(body);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(64);
    const struct
    {
        const char* key;
        QWidget* edit;
    } fields[] = {{"IDCS_BATCH_START_IP", m_start},
                  {"IDCS_SUBNET_MASK", m_mask},
                  {"IDCS_GATEWAY", m_gateway},
                  {"IDCS_DEVICE_PASSWORD", m_password}};
    for (int i = 0; i < 4; ++i) {
        fields[i].edit->setFixedSize(160, 24);
        form->addWidget(label(fields[i].key, body), i / 2, (i % 2) * 2);
        form->addWidget(fields[i].edit, i / 2, (i % 2) * 2 + 1);
    }
    form->setColumnStretch(4, 1);

    m_planButton = button("IDCS_BATCH_PLAN", "planButton", body);
    m_loadButton = button("IDCS_BATCH_LOAD_PLAN", "loadButton", body);
    m_saveButton = button("IDCS_BATCH_SAVE_PLAN", "saveButton", body);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_planButton);
    actions->addStretch(1);
    actions->addWidget(m_loadButton);
    actions->addWidget(m_saveButton);

    m_table = new VistaTreeWidget(body);
    m_table->setObjectName(QStringLiteral("planTable"));
    m_table->setRootIsDecorated(false);
    m_table->setColumnCount(ColCount);
    m_table->setHeaderLabels({getText("IDCS_DEVICE_NAME"),
                              getText("IDCS_PRODUCT_MODE"),
                              getText("IDCS_MAC_ADDRESS"),
                              getText("IDCS_BATCH_CURRENT_IP"),
                              getText("IDCS_BATCH_NEW_IP"),
                              getText("IDCS_BATCH_STATUS")});
    const int widths[ColCount] = {120, 100, 135, 115, 115, 180};
    for (int c = 0; c < ColCount; ++c) {
        m_table->header()->resizeSection(c, widths[c]);
    }
    m_table->header()->setStretchLastSection(true);

    m_message = new QMXLabel(QString(), body);
    m_message->setObjectName(QStringLiteral("planMessage"));
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_progress = new QProgressBar(body);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setFixedHeight(18);
    m_progress->setValue(0);

    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(13, 10, 13, 8);
    column->setSpacing(10);
    column->addLayout(form);
    column->addLayout(actions);
    column->addWidget(m_table, 1);
    column->addWidget(m_message);
    column->addWidget(m_progress);

    // The buttons of the dialog's bottom bar.
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("batchButtons"));
    m_applyButton = button("IDCS_BATCH_APPLY", "applyButton", bar);
    m_cancelButton = button("IDCS_CANCEL", "cancelButton", bar);
    m_closeButton = button("IDCS_CLOSE", "closeDialogButton", bar);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 2, 8, 3);
    row->addStretch(1);
    row->addWidget(m_applyButton);
    row->addWidget(m_cancelButton);
    row->addWidget(m_closeButton);
    m_applyButton->setEnabled(false);
    m_cancelButton->setEnabled(false);
    // Nothing to save before a plan is made or loaded.
    m_saveButton->setEnabled(false);
    m_body = body;
    m_buttonBar = bar;

    connect(m_planButton, &QPushButton::clicked, this, &BatchAddressDlg::slot_plan);
    connect(m_applyButton, &QPushButton::clicked, this, &BatchAddressDlg::slot_apply);
    connect(m_cancelButton, &QPushButton::clicked, this, &BatchAddressDlg::slot_cancel);
    connect(m_closeButton, &QPushButton::clicked, this, &BatchAddressDlg::reject);
    connect(m_saveButton, &QPushButton::clicked, this, &BatchAddressDlg::slot_savePlan);
    connect(m_loadButton, &QPushButton::clicked, this, &BatchAddressDlg::slot_loadPlan);
}

void BatchAddressDlg::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    m_body->setGeometry(1, 29, width() - 2, height() - 58);
    m_buttonBar->setGeometry(1, height() - 29, width() - 2, 28);
}

void BatchAddressDlg::addRow(const PlanDevice& device, const ChangeRequest& change)
{
    auto* item = new QTreeWidgetItem(m_table);
    item->setText(ColName, text(device.name));
    item->setText(ColModel, text(device.model));
    item->setText(ColMac, text(device.mac));
    item->setText(ColCurrent, text(device.ip));
    item->setText(ColNew, text(change.ip));
    // A device's name is whatever it reports: shown whole in the tooltip, never as markup.
    item->setToolTip(ColName, plainTip(text(device.name)));
    m_rows.push_back(Row{device, change, item, BatchApplier::Waiting, false});
}

void BatchAddressDlg::setStatus(Row& row, const QString& status, const QColor& colour)
{
    row.item->setText(ColStatus, status);
    row.item->setForeground(ColStatus, colour);
}

void BatchAddressDlg::setMessage(const QString& message, bool problem)
{
    m_message->setText(message);
    m_message->setStyleSheet(problem ? QStringLiteral("color: rgb(232,96,86);")
                                     : QStringLiteral("color: rgb(201,201,201);"));
}

void BatchAddressDlg::showPlan(const AddressPlan& plan)
{
    m_table->clear();
    m_rows.clear();
    int skipped = 0;
    for (const PlanRow& planned : plan.rows) {
        if (planned.skipped()) {
            // An address passed over: a row of its own, so the gaps in the plan are explained.
            auto* item = new QTreeWidgetItem(m_table);
            item->setText(ColNew, text(planned.ip));
            item->setText(ColStatus, getText("IDCS_BATCH_SKIPPED").arg(text(planned.heldBy)));
            item->setToolTip(ColStatus, plainTip(item->text(ColStatus)));
            for (int c = 0; c < ColCount; ++c) {
                item->setForeground(c, BatchRowLook::kMutedText);
            }
            ++skipped;
            continue;
        }
        addRow(planned.device,
               ChangeRequest{planned.device.mac, planned.ip, planned.mask, planned.gateway, "", "", ""});
        Row& row = m_rows.back();
        if (planned.rule != 0) {
            setStatus(row, getText("IDCS_BATCH_RULE_FAILED"), BatchRowLook::kBadText);
        } else {
            setStatus(row, getText("IDCS_BATCH_PLANNED"), BatchRowLook::kPlainText);
        }
    }
    m_progress->setRange(0, static_cast<int>(m_rows.size()));
    m_progress->setValue(0);
    if (!plan.problem.empty()) {
        setMessage(getText("IDCS_BATCH_PLAN_PROBLEM").arg(text(plan.problem)), true);
    } else {
        setMessage(getText("IDCS_BATCH_PLANNED_SUMMARY").arg(m_rows.size()).arg(skipped), false);
    }
    m_applyButton->setEnabled(plan.problem.empty() && !m_rows.empty());
    m_saveButton->setEnabled(!m_rows.empty());
}

void BatchAddressDlg::slot_plan()
{
    const struct
    {
        IpAddrEdit* edit;
        const char* key;
    } fields[] = {{m_start, "IDCS_BATCH_START_IP"}, {m_mask, "IDCS_SUBNET_MASK"}, {m_gateway, "IDCS_GATEWAY"}};
    for (const auto& field : fields) {
        if (!ParseIpv4(bytes(field.edit->text()))) {
            setMessage(getText("IDCS_BATCH_FIELD_INVALID").arg(getText(field.key)), true);
            m_applyButton->setEnabled(false);
            field.edit->setFocus();
            return;
        }
    }
    m_startText = bytes(m_start->text());
    m_maskText = bytes(m_mask->text());
    m_gatewayText = bytes(m_gateway->text());
    makePlan(0);
}

// A plan, then a look at whether its addresses answer on the network; an address that does is
// held too, and the plan is made again (a few rounds at most: each round moves past the hosts
// found).
void BatchAddressDlg::makePlan(int round)
{
    QElapsedTimer planning;
    planning.start();
    m_plan = PlanAddresses(m_selected, m_startText, m_maskText, m_gatewayText, m_held);
    showPlan(m_plan);
    m_planMs = planning.elapsed();
    if (!m_plan.problem.empty() || round >= kProbeRounds) {
        return;
    }
    std::vector<std::uint32_t> candidates;
    for (const PlanRow& row : m_plan.rows) {
        if (!row.skipped()) {
            candidates.push_back(ntohl(ParseIpv4(row.ip).value_or(0)));
        }
    }
    m_probing = true;
    setBusy(true);
    m_cancelButton->setEnabled(false);
    setMessage(getText("IDCS_BATCH_PROBING"), false);
    auto* watcher = new QFutureWatcher<std::set<std::uint32_t>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, round]() {
        watcher->deleteLater();
        onProbed(watcher->result(), round);
    });
    watcher->setFuture(QtConcurrent::run(
        [candidates]() { return AnsweringAddresses(candidates, std::chrono::milliseconds(kProbeWaitMs)); }));
}

void BatchAddressDlg::onProbed(const std::set<std::uint32_t>& answering, int round)
{
    m_probing = false;
    setBusy(false);
    bool added = false;
    for (const std::uint32_t address : answering) {
        added = m_held.emplace(address, bytes(getText("IDCS_BATCH_ANSWERING"))).second || added;
    }
    if (added) {
        makePlan(round + 1);
        return;
    }
    showPlan(m_plan);
}

bool BatchAddressDlg::isProbing() const
{
    return m_probing;
}

bool BatchAddressDlg::loadPlanText(const QByteArray& content)
{
    const CsvResult csv = ReadCsv(content.toStdString());
    std::vector<PlannedChange> changes;
    std::vector<PlanProblem> problems;
    if (!csv.error.empty()) {
        problems.push_back({0, csv.error, true});
    } else {
        problems = ReadChangeList(csv, changes);
    }
    if (!problems.empty()) {
        const PlanProblem& first = problems.front();
        const QString where = first.line > 0 ? QStringLiteral("%1: ").arg(first.line) : QString();
        setMessage(getText("IDCS_BATCH_LOAD_FAILED").arg(where + text(first.message)), true);
        m_applyButton->setEnabled(false);
        return false;
    }
    AddressPlan plan;
    for (const PlannedChange& change : changes) {
        PlanDevice device = m_listed.value(text(change.request.mac));
        device.mac = change.request.mac;
        plan.rows.push_back(PlanRow{device, change.request.ip, change.request.mask, change.request.gateway, "", 0});
    }
    showPlan(plan);
    // A row may carry its own password; the rest take the one typed in the form.
    for (std::size_t i = 0; i < changes.size(); ++i) {
        m_rows[i].change.password = changes[i].request.password;
    }
    return true;
}

QString BatchAddressDlg::planCsv() const
{
    AddressPlan plan;
    for (const Row& row : m_rows) {
        if (!row.change.ip.empty()) {
            plan.rows.push_back(PlanRow{row.device, row.change.ip, row.change.mask, row.change.gateway, "", 0});
        }
    }
    return text(PlanCsv(plan));
}

void BatchAddressDlg::slot_savePlan()
{
    const QString file = SiteFiles::chooseSaveFile(this,
                                                   SiteFiles::kPlanFolderKey,
                                                   getText("IDCS_BATCH_SAVE_PLAN"),
                                                   QStringLiteral("address-plan.csv"),
                                                   QStringLiteral("CSV (*.csv)"));
    QString error;
    if (!file.isEmpty() && !SiteFiles::writeFile(file, planCsv().toUtf8(), error)) {
        setMessage(getText("IDCS_SITE_WRITE_FAILED").arg(error), true);
    }
}

void BatchAddressDlg::slot_loadPlan()
{
    const QString file = SiteFiles::chooseOpenFile(
        this, SiteFiles::kPlanFolderKey, getText("IDCS_BATCH_LOAD_PLAN"), QStringLiteral("CSV (*.csv);;* (*)"));
    if (file.isEmpty()) {
        return;
    }
    QByteArray content;
    QString error;
    if (!SiteFiles::readFile(file, static_cast<qint64>(kCsvMaxBytes), content, error)) {
        setMessage(getText("IDCS_BATCH_LOAD_FAILED").arg(error), true);
        return;
    }
    loadPlanText(content);
}

qint64 BatchAddressDlg::lastPlanMs() const
{
    return m_planMs;
}
