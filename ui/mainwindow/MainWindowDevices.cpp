// The device list of the main window: its columns, the reports of the search library and
// the rows they add, change and remove.

#include "DeviceRowInfo.h"
#include "DeviceText.h"
#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "HeaderButton.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "StatusBar.h"
#include "VistaTreeWidget.h"
#include "VistaTreeWidgetItem.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {
struct ColumnSpec
{
    const char* key;
    int width;
    bool shown;
};

const ColumnSpec kColumns[] = {
    {"IDCS_DEVICE_NAME", 120, true},
    {"IDCS_DEVICE_TYPE", 120, true},
    {"IDCS_PRODUCT_MODE", 130, true},
    {"IDCS_IP_ADDRESS", 120, true},
    {"IDCS_HTTP_PORT", 80, true},
    {"IDCS_DATA_PORT", 100, true},
    {"IDCS_SUBNET_MASK", 110, true},
    {"IDCS_GATEWAY", 120, true},
    {"IDCS_SOFT_VERSION", 110, true},
    {"IDCS_SOFT_CREATE_DATE", 150, true},
    {"IDCS_HARDWARE_VERSION", 110, true},
    {"IDCS_MAC_ADDRESS", 130, true},
    {"IDCS_KERNEL_VERSION", 100, false},
    {"IDCS_START_TIME", 160, false},
    {"IDCS_RUN_TIME", 180, false},
    {"IDCS_DEVICE_ACTIVA_STATE", 100, true},
};
constexpr int kColumnCount = 16;
constexpr int kActivationColumn = 15;
constexpr int kRecordRole = Qt::UserRole;
// How long reports are handled in one go before the event loop gets a turn: a flood of
// thousands (a fleet answering at once, a refresh) must not freeze painting and input.
constexpr qint64 kReportSliceMs = 8;

// Room a header text needs beside it: the section's padding and the sort indicator.
constexpr int kHeaderTextMargin = 24;
// Room a shown filter button takes from its section (its width and the divider).
constexpr int kFilterButtonRoom = 33;
// Room around a cell's text.
constexpr int kCellTextMargin = 16;
} // namespace

// The widths are made for the shortest language; a column whose header, device-type names
// or activation texts are wider in the loaded one grows to show them whole.
int MainWindow::fittedWidth(int column) const
{
    m_header->ensurePolished();
    const QFontMetrics headerMetrics(m_header->font());
    const QFontMetrics cellMetrics(m_deviceList->font());
    // A column with a filter button keeps room for the button beside its header text.
    const bool filtered =
        column == 1 || column == VistaTreeWidgetItem::kIpColumn || column == VistaTreeWidgetItem::kDataPortColumn;
    const int buttonRoom = filtered ? kFilterButtonRoom : 0;
    int width =
        std::max(kColumns[column].width,
                 headerMetrics.horizontalAdvance(getText(kColumns[column].key)) + kHeaderTextMargin + buttonRoom);
    QStringList values;
    if (column == 1) {
        for (const char* type :
             {"QMX_IPC", "QMX_DVR", "QMX_NVR", "QMX_MDVR", "QMX_STORAGE", "QMX_DECODER", "QMX_NETKEYBOARD"}) {
            values << DeviceText::deviceTypeName(QString::fromLatin1(type));
        }
    } else if (column == kActivationColumn) {
        values << DeviceText::activationText(0) << DeviceText::activationText(1);
    }
    for (const QString& value : std::as_const(values)) {
        width = std::max(width, cellMetrics.horizontalAdvance(value) + kCellTextMargin);
    }
    return width;
}

namespace {
HeaderButton* filterButton(const char* name, const char* accessibleKey, QWidget* parent)
{
    auto* button = new HeaderButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(getText(accessibleKey));
    // Reached with Tab (the header shows its buttons while it has the focus); a click leaves
    // the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAutoDefault(false);
    return button;
}
} // namespace

void MainWindow::createDeviceList()
{
    m_reportTimer = new QTimer(this);
    m_reportTimer->setInterval(0);
    connect(m_reportTimer, &QTimer::timeout, this, &MainWindow::handlePendingReports);
    m_deviceList = new VistaTreeWidget(this);
    m_deviceList->setObjectName(QStringLiteral("deviceList"));
    m_deviceList->setAccessibleName(getText("IDCS_DEVICE_NETWORK_SEARCH"));
    // Ctrl and Shift clicks and Ctrl+A pick several devices for work on a whole site; the current
    // row alone still fills the control bar's form.
    m_deviceList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_header = new DeviceTreeHeaderView(m_deviceList);
    m_header->setAccessibleName(getText("IDCS_COLUMN_HEADERS"));
    m_header->columnMenu()->setAccessibleName(getText("IDCS_COLUMNS"));
    m_deviceList->setHeader(m_header);
    m_deviceList->setColumnCount(kColumnCount);
    QStringList labels;
    for (const ColumnSpec& column : kColumns) {
        labels << getText(column.key);
    }
    m_deviceList->setHeaderLabels(labels);
    for (int column = 0; column < kColumnCount; ++column) {
        m_header->resizeSection(column, fittedWidth(column));
        m_header->setSectionHidden(column, !kColumns[column].shown);
    }
    // Set again after the tree took the header: these are what this list needs.
    m_header->setStretchLastSection(false);
    m_header->setSectionsMovable(true);
    m_header->setFirstSectionMovable(true);
    m_header->buildColumnMenu();
    m_deviceList->sortByColumn(VistaTreeWidgetItem::kIpColumn, Qt::AscendingOrder);
    m_deviceList->setSortingEnabled(true);
    // The tree makes the header clickable with its sorting; a click sorts only through a press
    // on a sortable column, which makes it clickable for that one click.
    m_header->setSectionsClickable(false);

    m_deviceTypeButton = filterButton("deviceTypeFilterButton", "IDCS_FILTER_DEVICE_TYPE", m_header);
    m_ipButton = filterButton("ipFilterButton", "IDCS_FILTER_IP_ADDRESS", m_header);
    m_portButton = filterButton("portFilterButton", "IDCS_FILTER_DATA_PORT", m_header);
    m_header->setSectionWidget(1, m_deviceTypeButton, CheckBoxHeaderView::PlaceRight);
    m_header->setSectionWidget(VistaTreeWidgetItem::kIpColumn, m_ipButton, CheckBoxHeaderView::PlaceRight);
    m_header->setSectionWidget(VistaTreeWidgetItem::kDataPortColumn, m_portButton, CheckBoxHeaderView::PlaceRight);
    createFilterMenus();
}

// Search library's thread. Only the new record is touched here.
void MainWindow::Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* /*subject*/)
{
    MainWindow* window = instance();
    if (window == nullptr) {
        return;
    }
    DeviceRowInfo* record = DeviceRowInfo::fromSearchInfo(info);
    window->trackPosted(record);
    // Queued: widgets belong to the window's thread, and posting never waits for it, so the
    // engine (which holds its observer lock around this call) never waits for the GUI either.
    if (!QMetaObject::invokeMethod(
            window, "slot_recvOnlineDeviceInfo", Qt::QueuedConnection, Q_ARG(void*, record), Q_ARG(int, info.opt))) {
        window->untrackPosted(record);
        delete record;
    }
}

void MainWindow::trackPosted(DeviceRowInfo* record)
{
    const std::lock_guard<std::mutex> lock(m_postedLock);
    m_posted.insert(record);
}

bool MainWindow::untrackPosted(DeviceRowInfo* record)
{
    const std::lock_guard<std::mutex> lock(m_postedLock);
    return m_posted.erase(record) > 0;
}

// The library has stopped: nothing is posted any more, and every posted record not yet taken
// is still in its queued call. The calls go unrun and their records are freed here.
void MainWindow::freeQueuedReports()
{
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    const std::lock_guard<std::mutex> lock(m_postedLock);
    for (DeviceRowInfo* record : m_posted) {
        delete record;
    }
    m_posted.clear();
}

void MainWindow::slot_recvOnlineDeviceInfo(void* report, int opt)
{
    if (report == nullptr) {
        Q_ASSERT_X(false, "slot_recvOnlineDeviceInfo", "false");
        return;
    }
    std::unique_ptr<DeviceRowInfo> record(static_cast<DeviceRowInfo*>(report));
    untrackPosted(record.get());
    if (m_closing) {
        return;
    }
    // Reports keep their order: once one waits, every later one waits behind it.
    if (m_pendingReports.empty() && reportSliceLeft()) {
        handleReport(std::move(record), opt);
        return;
    }
    m_pendingReports.push_back({std::move(record), opt});
}

// A slice starts with the first report after the event loop had its turn; the timer fires
// on the loop's next turn and starts the next slice.
bool MainWindow::reportSliceLeft()
{
    if (!m_reportTimer->isActive()) {
        m_reportSlice.start();
        m_reportTimer->start();
    }
    return m_reportSlice.elapsed() < kReportSliceMs;
}

void MainWindow::handlePendingReports()
{
    m_reportSlice.start();
    while (!m_pendingReports.empty() && m_reportSlice.elapsed() < kReportSliceMs) {
        PendingReport next = std::move(m_pendingReports.front());
        m_pendingReports.pop_front();
        handleReport(std::move(next.record), next.opt);
    }
    if (m_pendingReports.empty()) {
        m_reportTimer->stop();
    }
}

void MainWindow::handleReport(std::unique_ptr<DeviceRowInfo> record, int opt)
{
    switch (opt) {
    case 0:
        onDeviceFound(record.release());
        break;
    case 1:
        onDeviceGone(record.get());
        break;
    case 2:
        onDeviceChanged(record.get());
        break;
    default:
        break;
    }
}

void MainWindow::onDeviceFound(DeviceRowInfo* record)
{
    if (findDeviceByMac(record->mac)) {
        delete record;
        return;
    }
    if (passesFilter(*record)) {
        if (m_deviceList->isSortingEnabled()) {
            m_deviceList->setSortingEnabled(false);
        }
        addDeviceRow(record);
        setOnlineCount(m_onlineCount + 1);
    }
    m_deviceRecords.append(record);
    fillDeviceTypeMenu(DeviceText::deviceTypeName(record->deviceType));
    if (isFilterOn()) {
        showDeviceCount();
    }
}

// A device without a row (filtered out) still gets its new values: a filter cleared later
// must not show stale addresses. The filter is not tested again: a changed row stays.
void MainWindow::onDeviceChanged(DeviceRowInfo* record)
{
    if (m_deviceList->isSortingEnabled()) {
        m_deviceList->setSortingEnabled(false);
    }
    DeviceRowInfo* held = m_deviceRecords.find(record->mac);
    if (held == nullptr) {
        return;
    }
    m_deviceRecords.update(held, *record);
    if (QTreeWidgetItem* row = m_deviceRecords.row(held->mac)) {
        setRowTexts(row, *held, true);
    }
    fillDeviceTypeMenu(DeviceText::deviceTypeName(held->deviceType));
}

// A device without a row (filtered out) is forgotten too: a filter cleared later must not
// show a device that has left, nor may a request be sent to it. Every removed row counted
// when it was added, so the count always equals the number of rows.
void MainWindow::onDeviceGone(DeviceRowInfo* record)
{
    DeviceRowInfo* held = m_deviceRecords.find(record->mac);
    if (held == nullptr) {
        return;
    }
    QTreeWidgetItem* row = m_deviceRecords.row(held->mac);
    const QString typeName = DeviceText::deviceTypeName(held->deviceType);
    const bool activeType = m_typeFilterOn && m_typeFilter == typeName;
    if (m_deviceRecords.countOfTypeName(typeName) == 1 && !activeType) {
        m_deviceTypeMenu->removeTypeEntry(typeName);
    }
    m_deviceRecords.remove(held->mac);
    if (row != nullptr) {
        delete row;
        setOnlineCount(m_onlineCount - 1);
    } else if (isFilterOn()) {
        showDeviceCount();
    }
}

bool MainWindow::addDeviceRow(DeviceRowInfo* record)
{
    auto* row = new VistaTreeWidgetItem;
    setRowTexts(row, *record, false);
    row->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    m_deviceList->insertTopLevelItem(0, row);
    m_deviceRecords.setRow(record->mac, row);
    return true;
}

void MainWindow::setRowTexts(QTreeWidgetItem* row, const DeviceRowInfo& record, bool keepUnknownActivation)
{
    const QString texts[kActivationColumn] = {record.name,
                                              DeviceText::deviceTypeName(record.deviceType),
                                              record.model,
                                              record.ipAddress,
                                              DeviceText::portText(record.httpPort),
                                              DeviceText::portText(record.dataPort),
                                              record.subnetMask,
                                              record.gateway,
                                              record.softwareVersion,
                                              record.buildDate,
                                              record.hardwareVersion,
                                              record.mac,
                                              record.kernelVersion,
                                              record.bootTime,
                                              DeviceText::formatRunTime(record.runningTime)};
    for (int column = 0; column < kActivationColumn; ++column) {
        row->setText(column, texts[column]);
        row->setTextAlignment(column, Qt::AlignCenter);
        row->setToolTip(column, DeviceText::cutTextToolTip(texts[column]));
    }
    if (!keepUnknownActivation || record.activation == 0 || record.activation == 1) {
        row->setText(kActivationColumn, DeviceText::activationText(record.activation));
    }
    markCompared(row, record);
}

bool MainWindow::findDeviceByMac(const QString& mac) const
{
    return m_deviceRecords.find(mac) != nullptr;
}

void MainWindow::fillDeviceTypeMenu(const QString& typeName)
{
    m_deviceTypeMenu->addTypeEntry(typeName);
}

void MainWindow::repopulateRows()
{
    m_deviceList->clear();
    m_deviceRecords.forgetRows();
    // One insertion of all rows: the last record found ends on top, as if added one by one.
    QList<QTreeWidgetItem*> rows;
    for (const auto& record : m_deviceRecords) {
        if (!passesFilter(*record)) {
            continue;
        }
        auto* row = new VistaTreeWidgetItem;
        setRowTexts(row, *record, false);
        row->setData(0, kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record.get())));
        m_deviceRecords.setRow(record->mac, row);
        rows.prepend(row);
    }
    m_deviceList->insertTopLevelItems(0, rows);
    setOnlineCount(static_cast<int>(rows.size()));
}

void MainWindow::clearDeviceList()
{
    // Reports still waiting describe the list being cleared; the search that follows
    // reports every device afresh.
    m_pendingReports.clear();
    m_deviceList->clear();
    m_deviceRecords.clear();
    setOnlineCount(0);
}

DeviceRowInfo* MainWindow::recordOf(const QTreeWidgetItem* row)
{
    if (row == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<DeviceRowInfo*>(row->data(0, kRecordRole).value<quintptr>());
}

const DeviceRecords& MainWindow::deviceRecords() const
{
    return m_deviceRecords;
}

int MainWindow::onlineCount() const
{
    return m_onlineCount;
}

void MainWindow::setOnlineCount(int count)
{
    m_onlineCount = count;
    showDeviceCount();
}

void MainWindow::showDeviceCount()
{
    if (isFilterOn()) {
        m_statusBar->setShownOfFound(m_onlineCount, m_deviceRecords.size());
    } else {
        m_statusBar->setOnlineCount(m_onlineCount);
    }
}
