// Work on a whole site from the window: the selected devices addressed from a plan, the
// inventory written as a file or a printable report, and a saved inventory compared with the
// devices found now.

#include "Addressing.h"
#include "BatchAddressDlg.h"
#include "DeviceRowInfo.h"
#include "InventoryCompareDlg.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"
#include "QMXMenu.h"
#include "QMXPushButton.h"
#include "SiteFiles.h"
#include "SiteNameDlg.h"
#include "SiteReport.h"
#include "VistaTreeWidget.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QSet>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace {

const char* const kSiteButtonStyle =
    "QMXPushButton { color: rgb(232,232,232); border-radius: 2px; background: transparent; padding: 0px 8px; "
    "min-width: 0px; }"
    "QMXPushButton:hover { background-color: rgb(115,122,132); }"
    "QMXPushButton:pressed, QMXPushButton:open { background-color: rgb(66,71,74); }"
    "QMXPushButton::menu-indicator { image: url(:/skin/down_arrow.png); subcontrol-origin: padding; "
    "subcontrol-position: right center; right: 6px; }";

std::string bytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

// Every IPv4 address of this computer, in host order: none of them may be handed to a device.
QList<quint32> hostAddresses()
{
    QList<quint32> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET) {
            addresses << ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        }
    }
    freeifaddrs(list);
    return addresses;
}

PlanDevice planDevice(const DeviceRowInfo& record)
{
    return PlanDevice{bytes(record.mac), bytes(record.name), bytes(record.model), bytes(record.ipAddress)};
}

} // namespace

void MainWindow::createSiteTools()
{
    m_batchButton = new QMXPushButton(getText("IDCS_BATCH_ADDRESSING"), this);
    m_batchButton->setObjectName(QStringLiteral("batchButton"));
    m_siteButton = new QMXPushButton(getText("IDCS_SITE_INVENTORY"), this);
    m_siteButton->setObjectName(QStringLiteral("siteButton"));
    // The arrow has the text's padding on its left and its own room on the right.
    m_siteButton->setStyleSheet(QString::fromLatin1(kSiteButtonStyle) +
                                QStringLiteral("QMXPushButton { padding-right: 24px; }"));
    m_batchButton->setStyleSheet(QString::fromLatin1(kSiteButtonStyle));
    for (QMXPushButton* button : {m_batchButton, m_siteButton}) {
        button->setAutoDefault(false);
    }
    auto* menu = new QMXMenu(m_siteButton);
    menu->setObjectName(QStringLiteral("siteMenu"));
    addSiteEntries(menu);
    m_siteButton->setMenu(menu);
    connect(m_batchButton, &QPushButton::clicked, this, &MainWindow::slot_batchAddressing);
}

// The two buttons follow the refresh button, each as wide as its text.
void MainWindow::layoutSiteTools(int left)
{
    for (QMXPushButton* button : {m_batchButton, m_siteButton}) {
        // The menu button keeps room for its arrow.
        const int arrow = button->menu() != nullptr ? 18 : 0;
        const int width = button->fontMetrics().horizontalAdvance(button->text()) + 24 + arrow;
        button->setGeometry(left, 63, width, 26);
        left += width + 8;
    }
}

// The site entries of a menu; the row menu and the toolbar's site menu share them.
void MainWindow::addSiteEntries(QMenu* menu)
{
    QAction* batch = menu->addAction(getText("IDCS_BATCH_ADDRESS_SELECTED"));
    batch->setObjectName(QStringLiteral("batchAction"));
    connect(batch, &QAction::triggered, this, &MainWindow::slot_batchAddressing);
    menu->addSeparator();
    const struct
    {
        const char* key;
        const char* name;
        ExportScope scope;
    } exports[] = {{"IDCS_EXPORT_ALL", "exportAll", ExportAll},
                   {"IDCS_EXPORT_SHOWN", "exportShown", ExportShown},
                   {"IDCS_EXPORT_SELECTED", "exportSelected", ExportSelected}};
    for (const auto& entry : exports) {
        QAction* action = menu->addAction(getText(entry.key));
        action->setObjectName(QString::fromLatin1(entry.name));
        const ExportScope scope = entry.scope;
        connect(action, &QAction::triggered, this, [this, scope]() { slot_exportDevices(scope); });
    }
    menu->addSeparator();
    QAction* compare = menu->addAction(getText("IDCS_COMPARE_INVENTORY"));
    compare->setObjectName(QStringLiteral("compareAction"));
    connect(compare, &QAction::triggered, this, &MainWindow::slot_compareInventory);
}

QStringList MainWindow::selectedMacs() const
{
    QStringList macs;
    for (int i = 0; i < m_deviceList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = m_deviceList->topLevelItem(i);
        const DeviceRowInfo* record = recordOf(row);
        if (row->isSelected() && record != nullptr) {
            macs << record->mac;
        }
    }
    return macs;
}

void MainWindow::slot_batchAddressing()
{
    std::vector<PlanDevice> selected;
    for (const QString& mac : selectedMacs()) {
        selected.push_back(planDevice(*m_deviceRecords.find(mac)));
    }
    if (selected.empty()) {
        showError(getText("IDCS_BATCH_NO_SELECTION"));
        return;
    }
    // Held: this computer's addresses and every known device's, filtered out or not.
    HeldAddresses held;
    std::vector<PlanDevice> listed;
    for (const quint32 address : hostAddresses()) {
        held.emplace(address, bytes(getText("IDCS_BATCH_HOST")));
    }
    for (const auto& record : m_deviceRecords) {
        listed.push_back(planDevice(*record));
        if (const auto ip = ParseIpv4(listed.back().ip)) {
            held.emplace(ntohl(*ip), listed.back().name + " (" + listed.back().mac + ")");
        }
    }
    BatchAddressDlg dialog(m_searchManage, std::move(selected), std::move(listed), std::move(held), this);
    connect(&dialog, &BatchAddressDlg::sig_changesSent, this, &MainWindow::slot_refresh);
    dialog.exec();
}

std::vector<DEVICE_INFO> MainWindow::devicesOf(ExportScope scope) const
{
    QSet<QString> macs;
    if (scope == ExportShown) {
        for (int i = 0; i < m_deviceList->topLevelItemCount(); ++i) {
            if (const DeviceRowInfo* record = recordOf(m_deviceList->topLevelItem(i))) {
                macs.insert(record->mac);
            }
        }
    } else if (scope == ExportSelected) {
        const QStringList selected = selectedMacs();
        macs = QSet<QString>(selected.begin(), selected.end());
    }
    std::vector<DEVICE_INFO> devices;
    for (const DEVICE_INFO& device : m_searchManage.Devices()) {
        if (scope == ExportAll || macs.contains(text(device.mac))) {
            devices.push_back(device);
        }
    }
    return devices;
}

bool MainWindow::exportDevices(ExportScope scope, const QString& path, const QString& siteName, QString& error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const std::vector<DEVICE_INFO> devices = devicesOf(scope);
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("json")) {
        const std::string content = InventoryText(devices, bytes(suffix));
        return SiteFiles::writeFile(path, QByteArray::fromStdString(content), error);
    }
    const QString page = SiteReport::html(siteName, QDateTime::currentDateTime(), devices);
    if (suffix == QLatin1String("pdf")) {
        return SiteReport::writePdf(path, page, error);
    }
    return SiteFiles::writeFile(path, page.toUtf8(), error);
}

void MainWindow::slot_exportDevices(ExportScope scope)
{
    QString filter;
    QString path =
        SiteFiles::chooseSaveFile(this,
                                  SiteFiles::kExportFolderKey,
                                  getText("IDCS_EXPORT_TITLE"),
                                  QStringLiteral("inventory-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)),
                                  QStringLiteral("CSV (*.csv);;JSON (*.json);;HTML (*.html);;PDF (*.pdf)"),
                                  &filter);
    if (path.isEmpty()) {
        return;
    }
    // A name typed without its ending takes the one of the chosen format.
    const QString wanted = filter.section(QStringLiteral("*."), 1).chopped(1);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!QStringList{QStringLiteral("csv"), QStringLiteral("json"), QStringLiteral("html"), QStringLiteral("pdf")}
             .contains(suffix)) {
        path += QLatin1Char('.') + (wanted.isEmpty() ? QStringLiteral("csv") : wanted);
    }
    QString siteName;
    const QString ending = QFileInfo(path).suffix().toLower();
    if (ending == QLatin1String("html") || ending == QLatin1String("pdf")) {
        SiteNameDlg ask(this);
        if (ask.exec() != QDialog::Accepted) {
            return;
        }
        siteName = ask.siteName();
    }
    QString error;
    if (!exportDevices(scope, path, siteName, error)) {
        showError(getText("IDCS_SITE_WRITE_FAILED").arg(error));
    }
}

void MainWindow::slot_compareInventory()
{
    const QString path = SiteFiles::chooseOpenFile(this,
                                                   SiteFiles::kExportFolderKey,
                                                   getText("IDCS_COMPARE_INVENTORY"),
                                                   QStringLiteral("CSV, JSON (*.csv *.json);;* (*)"));
    if (path.isEmpty()) {
        return;
    }
    QByteArray content;
    QString error;
    if (!SiteFiles::readFile(path, 16 * 1024 * 1024, content, error) || !startComparison(path, content, error)) {
        showError(getText("IDCS_COMPARE_READ_FAILED").arg(error));
    }
}

bool MainWindow::startComparison(const QString& fileName, const QByteArray& saved, QString& error)
{
    std::vector<InventoryDevice> before;
    std::string problem;
    if (!ReadInventory(saved.toStdString(), before, problem)) {
        error = QString::fromStdString(problem);
        return false;
    }
    closeComparison();
    const std::vector<InventoryDifference> differences =
        CompareInventory(before, InventoryOf(m_searchManage.Devices()));
    for (const InventoryDifference& difference : differences) {
        if (difference.kind != InventoryChange::Missing) {
            m_comparison.insert(
                text(difference.live.mac.c_str()),
                CompareMark{static_cast<int>(difference.kind), InventoryCompareDlg::describe(difference)});
        }
    }
    for (auto it = m_comparison.cbegin(); it != m_comparison.cend(); ++it) {
        if (QTreeWidgetItem* row = m_deviceRecords.row(it.key())) {
            markCompared(row, *m_deviceRecords.find(it.key()));
        }
    }
    m_compareDialog = new InventoryCompareDlg(fileName, differences, this);
    m_compareDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_compareDialog, &QDialog::finished, this, &MainWindow::closeComparison);
    m_compareDialog->show();
    return true;
}

void MainWindow::closeComparison()
{
    const QHash<QString, CompareMark> marked = std::exchange(m_comparison, {});
    for (auto it = marked.cbegin(); it != marked.cend(); ++it) {
        QTreeWidgetItem* row = m_deviceRecords.row(it.key());
        const DeviceRowInfo* record = m_deviceRecords.find(it.key());
        if (row != nullptr && record != nullptr) {
            for (int column = 0; column < row->columnCount(); ++column) {
                row->setData(column, Qt::ForegroundRole, QVariant());
                row->setToolTip(column, QString());
            }
            row->setIcon(0, QIcon());
            // Whatever else the row shows for itself comes back with its texts.
            setRowTexts(row, *record, true);
        }
    }
    // Taken first: closing the dialog comes back here through its finished signal.
    if (InventoryCompareDlg* dialog = m_compareDialog.data()) {
        m_compareDialog.clear();
        dialog->close();
    }
}

// A row of a device the open comparison found new or changed carries its colour, a dot of it
// before the name, and says why in its tooltip.
void MainWindow::markCompared(QTreeWidgetItem* row, const DeviceRowInfo& record) const
{
    const auto found = m_comparison.constFind(record.mac);
    if (found == m_comparison.cend()) {
        return;
    }
    const auto kind = static_cast<InventoryChange>(found->kind);
    const QColor colour = InventoryCompareDlg::markColour(kind);
    for (int column = 0; column < row->columnCount(); ++column) {
        row->setForeground(column, colour);
        row->setToolTip(column, found->why);
    }
    row->setIcon(0, InventoryCompareDlg::markIcon(kind));
}
