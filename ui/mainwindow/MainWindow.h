#pragma once

#include "BaseDialog.h"
#include "CScanixManage.h"
#include "DeviceRecords.h"
#include "Observer.h"

#include <QElapsedTimer>
#include <QRect>
#include <QString>

#include <deque>
#include <memory>

class DeviceControlBar;
class DeviceTreeHeaderView;
class DeviceTypeFilterMenu;
class HeaderButton;
class IconButton;
class NcFramelessHelper;
class QAction;
class QActionGroup;
class QFrame;
class QMenu;
class QLabel;
class QMXButton;
class QMXLabel;
class QMXPushButton;
class QTimer;
class QTreeWidgetItem;
class StatusBar;
class ToolButton;
class VistaTreeWidget;
struct DeviceRowInfo;

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

public slots:
    void slot_deviceTypeMenuTriggered(QAction* action);
    void slot_ipaddressMenuTriggered(QString minAddres, QString maxAddres);
    void slot_filterCleared();
    void slot_portMenuTriggered(QString minPort, QString maxPort);
    void slot_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
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
    void slot_deviceContextMenu(const QPoint& position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createTitleStrip();
    void loadLogo();
    void createToolStrip();
    void createDeviceList();
    int fittedWidth(int column) const;
    void createFilterMenus();
    void connectSignals();
    // The row context menu and its activation entry (MainWindowActivate.cpp).
    void connectDeviceContextMenu();
    void addActivateEntry(QMenu& menu, const DeviceRowInfo& record);
    void activateDevice(const QString& mac);
    void startDiscovery();
    bool reportSliceLeft();
    void handlePendingReports();
    void handleReport(std::unique_ptr<DeviceRowInfo> record, int opt);
    void onDeviceFound(DeviceRowInfo* record);
    void onDeviceChanged(DeviceRowInfo* record);
    void onDeviceGone(DeviceRowInfo* record);
    void setRowTexts(QTreeWidgetItem* row, const DeviceRowInfo& record, bool keepUnknownActivation);
    void setOnlineCount(int count);
    void setRangeFilter(RangeKind kind, quint32 low, quint32 high);
    void restoreFramelessFlags();

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
    // Set once the window is being torn down: reports still queued are only freed.
    bool m_closing = false;
    bool m_restoringFlags = false;
};
