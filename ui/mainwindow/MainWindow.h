#pragma once

#include "BaseDialog.h"
#include "CScanixManage.h"
#include "DeviceInfo.h"
#include "DeviceRecords.h"
#include "Observer.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

struct AddressHolder;
class DeviceControlBar;
class DeviceTreeHeaderView;
class DeviceTypeFilterMenu;
class HeaderButton;
class IconButton;
class InventoryCompareDlg;
class NcFramelessHelper;
class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QMXButton;
class QMXLabel;
class QMXPushButton;
class QTimer;
class QTreeWidgetItem;
class StatusBar;
class ToolButton;
template <typename T> class QFutureWatcher;
class VistaTreeWidget;
struct DeviceRowInfo;
struct SavedWindowState;

// The tool's one window: title and tool strips, the live device list with the control bar
// beside it, and the status bar. It owns the search manager, is its only observer, starts
// discovery when built and stops it before anything it reports about is freed.
class MainWindow : public BaseDialog, public CObserver<SEARCH_INFO>
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~MainWindow() override;

    // Search library's thread: copies the report and posts it to the window's thread.
    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* subject) override;

    // The window the library's reports are posted to; null before one is built.
    static MainWindow* instance();

    enum RangeKind
    {
        RangeIp,
        RangeDataPort
    };

    // Adds a row for the record at the top of the list; the record stays owned by the records.
    bool addDeviceRow(DeviceRowInfo* record);
    bool findDeviceByMac(const QString& mac) const;
    // Adds a device-type display name to the type filter menu unless it is there.
    void fillDeviceTypeMenu(const QString& typeName);
    // Whether a record gets a row under the active filter.
    bool passesFilter(const DeviceRowInfo& record) const;
    // Deletes every row (the records stay), adds one for each record that passes the active
    // filter, in record order, and shows their number as the online count.
    void repopulateRows();
    // Rows gone, records and waiting reports deleted, count 0; filters and the type menu stay.
    void clearDeviceList();

    // The record a row shows, or null.
    static DeviceRowInfo* recordOf(const QTreeWidgetItem* row);
    const DeviceRecords& deviceRecords() const;
    int onlineCount() const;
    CScanixManage& searchManage();
    // Whether a change or restore is waiting for its device's answer.
    bool requestRunning() const;

    // The arrangement the user made (geometry, maximised, columns, sort, refresh, control
    // bar), to be remembered; and putting a remembered one back, value by value, where usable.
    SavedWindowState savedState() const;
    void restoreSavedState(const SavedWindowState& state);

public slots:
    void slot_deviceTypeMenuTriggered(QAction* action);
    void slot_ipaddressMenuTriggered(QString minAddres, QString maxAddres);
    void slot_filterCleared();
    void slot_portMenuTriggered(QString minPort, QString maxPort);
    void slot_selectionChanged();
    void slot_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void slot_refresh();
    void slot_refreshMenuTriggered(QAction* action);
    void slot_visibleDeviceBar(bool visible);
    void slot_maxBtnClicked();
    void slot_about();
    void slot_recvOnlineDeviceInfo(void* report, int opt);
    void slot_changeNetworkParam(QString mac,
                                 QString ip,
                                 QString subnet,
                                 QString gateway,
                                 QString password,
                                 QString httpPort,
                                 QString dataPort,
                                 bool bDHCP);
    void slot_restorePwd(QString mac);
    void slot_rowMenuRequested(const QPoint& position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createTitleStrip();
    void loadLogo();
    void createToolStrip();
    void createDeviceList();
    int fittedWidth(int column) const;
    void createFilterMenus();
    void connectSignals();
    void setUpKeyboard();
    void activateFocusWidget();
    void syncKnownPosition(QWidget* target, const QMouseEvent* event);
    void syncNativePosition();
    // The row menu's activation entry (MainWindowActivate.cpp).
    void addActivateEntry(QMenu& menu, const DeviceRowInfo& record);
    void activateDevice(const QString& mac);
    void startDiscovery();
    void showRouteNote();
    bool reportSliceLeft();
    void handlePendingReports();
    void handleReport(std::unique_ptr<DeviceRowInfo> record, int opt);
    void onDeviceFound(DeviceRowInfo* record);
    void onDeviceChanged(DeviceRowInfo* record);
    void onDeviceGone(DeviceRowInfo* record);
    void setRowTexts(QTreeWidgetItem* row, const DeviceRowInfo& record, bool keepUnknownActivation);
    void setOnlineCount(int count);
    // The count of rows, or of rows shown of devices found while a filter is on.
    void showDeviceCount();
    void setRangeFilter(RangeKind kind, quint32 low, quint32 high);
    // After the filter state changed: the rows, the marked header button and the type menu.
    void applyFilterChange(bool hadTypeFilter, const QString& previousType);
    void markActiveFilter();
    bool isFilterOn() const;
    void restoreFramelessFlags();
    void restoreGeometryFrom(const SavedWindowState& state);
    void restoreColumnsFrom(const SavedWindowState& state);
    // Runs work on a worker thread while the window shows that it waits and takes no other
    // request; done runs on the window's thread afterwards.
    void runDeviceRequest(std::function<void()> work, std::function<void()> done);
    void finishDeviceRequest();
    void waitForWorkers();
    void setRequestBusy(bool busy);
    void sendNetworkParam(const QStringList& values, bool dhcp);
    bool confirmAddressClash(const QString& ip, const AddressHolder& holder);
    bool confirmRestore(const DeviceRowInfo& record);
    QString deviceDescription(const QString& mac) const;
    // The row context menu: one function per group of entries.
    QTreeWidgetItem* menuRow(const QPoint& position) const;
    void addCopyEntries(QMenu* menu, QTreeWidgetItem* row);
    QString rowText(const QTreeWidgetItem* row) const;
    bool copySelectedRow();
    // Reports between Update and the slot that takes them, so the destructor can free those
    // still queued without running any other queued call.
    void trackPosted(DeviceRowInfo* record);
    bool untrackPosted(DeviceRowInfo* record);
    void freeQueuedReports();

    CScanixManage m_searchManage;
    NcFramelessHelper* m_framelessHelper = nullptr;
    QMXLabel* m_titleLabel = nullptr;
    QMXLabel* m_logoLabel = nullptr;
    QMXButton* m_maxButton = nullptr;
    QMXButton* m_minButton = nullptr;
    QMXButton* m_closeButton = nullptr;
    QLabel* m_separator1 = nullptr;
    QLabel* m_separator2 = nullptr;
    QFrame* m_toolFrame = nullptr;
    ToolButton* m_refreshButton = nullptr;
    IconButton* m_deviceBarButton = nullptr;
    QMXPushButton* m_aboutButton = nullptr;
    VistaTreeWidget* m_deviceList = nullptr;
    HeaderButton* m_deviceTypeButton = nullptr;
    HeaderButton* m_ipButton = nullptr;
    HeaderButton* m_portButton = nullptr;
    DeviceControlBar* m_controlBar = nullptr;
    StatusBar* m_statusBar = nullptr;
    bool m_maximized = false;
    QRect m_normalGeometry;
    bool m_autoRefreshOff = false;
    int m_onlineCount = 0;
    DeviceRecords m_deviceRecords;
    QActionGroup* m_deviceTypeGroup = nullptr;
    quint32 m_rangeLow = 0xFFFFFFFFu;
    quint32 m_rangeHigh = 0xFFFFFFFFu;
    RangeKind m_rangeKind = RangeIp;
    QString m_typeFilter;
    bool m_rangeFilterOn = false;
    bool m_typeFilterOn = false;

    friend class MainWindowTest;

    DeviceTreeHeaderView* m_header = nullptr;
    DeviceTypeFilterMenu* m_deviceTypeMenu = nullptr;
    QActionGroup* m_refreshGroup = nullptr;
    // Reports that came after the current slice of handling was used up, in arrival order;
    // the timer takes them in slices, giving the event loop a turn in between.
    struct PendingReport
    {
        std::unique_ptr<DeviceRowInfo> record;
        int opt;
    };
    std::deque<PendingReport> m_pendingReports;
    QTimer* m_reportTimer = nullptr;
    QElapsedTimer m_reportSlice;
    // Restarted by every move and resize of the window.
    QElapsedTimer m_geometryChanged;
    std::mutex m_postedLock;
    std::unordered_set<DeviceRowInfo*> m_posted;
    // Set once the window is being torn down: reports still queued are only freed.
    bool m_closing = false;
    bool m_restoringFlags = false;
    // The window's own workers for device requests and web pages: they start in the window's
    // thread's network namespace, and the window waits for them before it goes.
    QThreadPool m_workers;
    QFutureWatcher<void>* m_requestWatcher = nullptr;
    std::function<void()> m_requestDone;
    bool m_requestBusy = false;

    // Work on a whole site (MainWindowSite.cpp): batch addressing, inventory export and report,
    // comparison with a saved inventory.
public:
    enum ExportScope
    {
        ExportAll,
        ExportShown,
        ExportSelected
    };
    // The MACs of the selected rows, in list order.
    QStringList selectedMacs() const;
    // Opens the batch addressing dialog for the selected devices.
    void slot_batchAddressing();
    // Asks for a file and writes the devices of the scope in the format its name ends with.
    void slot_exportDevices(ExportScope scope);
    void slot_compareInventory();
    // Writes the devices of the scope to a file: csv, json, html or pdf by its name.
    bool exportDevices(ExportScope scope, const QString& path, const QString& siteName, QString& error);
    // Marks the rows that differ from the saved inventory text until the comparison is closed.
    bool startComparison(const QString& fileName, const QByteArray& saved, QString& error);
    void closeComparison();

private:
    void createSiteTools();
    void layoutSiteTools(int left);
    void addSiteEntries(QMenu* menu);
    void markCompared(QTreeWidgetItem* row, const DeviceRowInfo& record) const;
    std::vector<DEVICE_INFO> devicesOf(ExportScope scope) const;

    QMXPushButton* m_batchButton = nullptr;
    QMXPushButton* m_siteButton = nullptr;
    // How the open comparison marks a device's row.
    struct CompareMark
    {
        int kind; // an InventoryChange
        QString why;
    };
    // MAC -> the mark of a device the open comparison found new or changed.
    QHash<QString, CompareMark> m_comparison;
    QPointer<InventoryCompareDlg> m_compareDialog;
};
