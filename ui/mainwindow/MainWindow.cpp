#include "MainWindow.h"

#include "AboutDlg.h"
#include "DeviceControlBar.h"
#include "DeviceRowInfo.h"
#include "DeviceText.h"
#include "DeviceTreeHeaderView.h"
#include "HeaderButton.h"
#include "IconButton.h"
#include "LanguageSrc.h"
#include "NcFramelessHelper.h"
#include "QMXButton.h"
#include "QMXLabel.h"
#include "QMXMenu.h"
#include "QMXPushButton.h"
#include "StatusBar.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QFutureWatcher>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QWindow>
#include <QtConcurrent>

#include <algorithm>
#include <atomic>
#include <string>

namespace {
std::atomic<MainWindow*> g_mainWindow{nullptr};

const char* const kTitleButtonStyle = "QMXButton { background: transparent; border-image: url(:/skin/%1) 0 44 0 0; }"
                                      "QMXButton:hover { border-image: url(:/skin/%1) 0 22 0 22; }"
                                      "QMXButton:pressed { border-image: url(:/skin/%1) 0 0 0 44; }";

// Pixels by which two ways of computing a screen position may differ by rounding alone.
constexpr int kRoundingSlack = 4;
// How long after a move or resize the window's place is taken as settled.
constexpr qint64 kSettleMs = 500;

// Room beside the about button's text, both sides together.
constexpr int kAboutTextRoom = 12;

// Rectangles of the layout are written by their inclusive corners.
QRect corners(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QString titleButtonStyle(const char* image)
{
    return QString::fromLatin1(kTitleButtonStyle).arg(QString::fromLatin1(image));
}

// A key in the window would otherwise click whichever push button the dialog made default.
void neverDefault(QPushButton* button)
{
    button->setAutoDefault(false);
    button->setDefault(false);
}

QMXButton* titleButton(const char* name, const char* image, const char* accessibleKey, QWidget* parent)
{
    auto* button = new QMXButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setStyleSheet(titleButtonStyle(image));
    button->setAccessibleName(getText(accessibleKey));
    button->setFocusPolicy(Qt::NoFocus);
    neverDefault(button);
    return button;
}

QLabel* separator(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setStyleSheet(QStringLiteral("background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 "
                                        "rgb(113,118,124), stop:0.5 rgb(113,118,124), stop:1 rgb(0,0,0));"));
    return label;
}
} // namespace

MainWindow::MainWindow(QWidget* parent, Qt::WindowFlags flags)
    : BaseDialog(parent, flags | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("mainWindow"));
    g_languageId = chooseLanguageId();
    loadLanguage(QCoreApplication::applicationDirPath(), g_languageId);
    DeviceText::loadTexts();
    createTitleStrip();
    createToolStrip();
    createDeviceList();
    m_controlBar = new DeviceControlBar(this);
    m_statusBar = new StatusBar(this);
    createSiteTools();
    setMinimumSize(1024, 700);
    setUpKeyboard();
    connectSignals();
    startDiscovery();
    qApp->installEventFilter(this);
    // The keyboard starts in the list, not on the first button of the tool strip.
    m_deviceList->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    releaseLanguage();
    m_searchManage.Detach(this);
    waitForWorkers();
    m_searchManage.Quit();
    // Reports posted before the library stopped would be dropped with their records: free
    // them, and only them. Running the queued calls instead would also run a queued restore
    // of the window's flags, which re-creates and shows the native window while it goes.
    m_closing = true;
    freeQueuedReports();
    m_pendingReports.clear();
    MainWindow* self = this;
    g_mainWindow.compare_exchange_strong(self, nullptr);
    // Detaching gives the window its own flags back and shows it again if it was visible; a
    // window that goes is not shown again.
    hide();
    m_framelessHelper->detachFrom(this);
    delete m_framelessHelper;
    m_framelessHelper = nullptr;
    m_deviceList->clear();
    m_deviceRecords.clear();
}

MainWindow* MainWindow::instance()
{
    return g_mainWindow.load();
}

CScanixManage& MainWindow::searchManage()
{
    return m_searchManage;
}

void MainWindow::createTitleStrip()
{
    m_titleLabel = new QMXLabel(getText("IDCS_DEVICE_NETWORK_SEARCH"), this);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setStyleSheet(
        QStringLiteral("font: 20px; color: rgb(172,172,172); background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                       "stop:0 rgba(0,0,0,0), stop:0.5 rgb(50,51,57), stop:1 rgba(0,0,0,0));"));
    // Created after the title so that it stays visible above the title's gradient.
    m_logoLabel = new QMXLabel(QString(), this);
    m_logoLabel->setObjectName(QStringLiteral("logoLabel"));
    m_logoLabel->setAlignment(Qt::AlignCenter);
    m_logoLabel->setFixedSize(230, 50);
    loadLogo();
    m_framelessHelper = new NcFramelessHelper(this);
    m_framelessHelper->setRubberBandOnResize(true);
    m_framelessHelper->attachTo(this);
    m_maxButton = titleButton("maxButton", "max.png", "IDCS_MAXIMIZE", this);
    m_minButton = titleButton("minButton", "min.png", "IDCS_MINIMIZE", this);
    m_closeButton = titleButton("closeButton", "close.png", "IDCS_CLOSE", this);
    m_separator1 = separator(this);
    m_separator2 = separator(this);
}

// The logo artwork is some 7000 pixels wide: decoding and scaling it takes longer than the
// rest of the start-up, so it is done once per process, off the window's thread, and the
// label gets its picture when it is ready.
void MainWindow::loadLogo()
{
    static QImage scaledLogo;
    if (!scaledLogo.isNull()) {
        m_logoLabel->setPixmap(QPixmap::fromImage(scaledLogo));
        return;
    }
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher]() {
        scaledLogo = watcher->result();
        if (!scaledLogo.isNull()) {
            m_logoLabel->setPixmap(QPixmap::fromImage(scaledLogo));
        }
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([size = m_logoLabel->size()]() {
        const QImage artwork(QStringLiteral(":/skin/ZEB31_logo.png"));
        if (artwork.isNull()) {
            return QImage();
        }
        // A plain pass down to four times the box, then a smooth one: the same look at a
        // fraction of the cost of smoothing the full artwork.
        return artwork.scaled(size * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }));
}

void MainWindow::createToolStrip()
{
    m_toolFrame = new QFrame(this);
    m_toolFrame->setObjectName(QStringLiteral("toolFrame"));
    m_toolFrame->setStyleSheet(
        QStringLiteral("background-color: rgb(43,44,49); border: 1px solid rgb(78,83,90); border-bottom: none;"));
    m_refreshButton = new ToolButton(getText("IDCS_MANUAL_REFRESH"), true, this);
    m_refreshButton->setObjectName(QStringLiteral("refreshButton"));
    neverDefault(m_refreshButton);
    QMXMenu* menu = m_refreshButton->toolMenu();
    menu->setObjectName(QStringLiteral("refreshMenu"));
    m_refreshGroup = new QActionGroup(this);
    m_refreshGroup->setExclusive(true);
    const struct
    {
        const char* key;
        int interval;
    } entries[] = {{"IDCS_REFRESH_DISABLE", 0},
                   {"IDCS_AUTO_REFRESH_BY_5S", 5},
                   {"IDCS_AUTO_REFRESH_BY_10S", 10},
                   // The longest choice has always waited 30 seconds, whatever its key says.
                   {"IDCS_AUTO_REFRESH_BY_15S", 30}};
    for (const auto& entry : entries) {
        QAction* action = menu->addAction(getText(entry.key));
        action->setCheckable(true);
        action->setData(entry.interval);
        action->setChecked(entry.interval == 5);
        m_refreshGroup->addAction(action);
    }
    m_deviceBarButton = new IconButton(QStringLiteral(":/skin/divide_open.png"), this);
    m_deviceBarButton->setObjectName(QStringLiteral("deviceBarButton"));
    m_deviceBarButton->setCheckable(true);
    m_deviceBarButton->setChecked(true);
    m_deviceBarButton->setAccessibleName(getText("IDCS_DEVICE_BAR"));
    neverDefault(m_deviceBarButton);
    m_aboutButton = new QMXPushButton(getText("IDCS_ABOUT"), this);
    m_aboutButton->setObjectName(QStringLiteral("aboutButton"));
    m_aboutButton->setStyleSheet(QStringLiteral(
        "QMXPushButton { color: rgb(232,232,232); border-radius: 2px; background: transparent; text-align: center; "
        "padding: 0px; min-width: 0px; }"
        "QMXPushButton:hover { background-color: rgb(115,122,132); }"
        "QMXPushButton:pressed { background-color: rgb(66,71,74); }"));
    neverDefault(m_aboutButton);
}

void MainWindow::connectSignals()
{
    connect(m_refreshButton->toolMenu(), &QMenu::triggered, this, &MainWindow::slot_refreshMenuTriggered);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_deviceList, &QTreeWidget::itemSelectionChanged, this, &MainWindow::slot_selectionChanged);
    // Within a selection of several rows the current one leads the form.
    connect(m_deviceList, &QTreeWidget::currentItemChanged, this, &MainWindow::slot_selectionChanged);
    connect(m_deviceList, &QTreeWidget::itemDoubleClicked, this, &MainWindow::slot_itemDoubleClicked);
    m_deviceList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_deviceList, &QWidget::customContextMenuRequested, this, &MainWindow::slot_rowMenuRequested);
    connect(m_refreshButton, &QPushButton::clicked, this, &MainWindow::slot_refresh);
    connect(m_deviceBarButton, &QPushButton::toggled, this, &MainWindow::slot_visibleDeviceBar);
    connect(m_maxButton, &QPushButton::clicked, this, &MainWindow::slot_maxBtnClicked);
    connect(m_minButton, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainWindow::slot_about);
    connect(m_controlBar, &DeviceControlBar::sig_changeNetworkParam, this, &MainWindow::slot_changeNetworkParam);
    connect(m_controlBar, &DeviceControlBar::sig_restorePwd, this, &MainWindow::slot_restorePwd);
}

void MainWindow::startDiscovery()
{
    g_mainWindow.store(this);
    m_searchManage.Attach(this);
    m_searchManage.Init();
    // Leaving manual mode empties the store and starts the periodic search. A refresh on top
    // would stop and restart it at once and empty the store again under the first answers.
    m_searchManage.SetAutoInterval(5);
    m_statusBar->watchDroppedReports([this] { return m_searchManage.GetDroppedReports(); });
    std::string ip;
    std::string mask;
    std::string gateway;
    std::string dns;
    m_searchManage.GetHostNetwork(ip, mask, gateway, dns);
    m_searchManage.AddLinkLocalRoute(ip);
    m_statusBar->setHostNetwork(QString::fromLocal8Bit(ip.c_str()),
                                QString::fromLocal8Bit(mask.c_str()),
                                QString::fromLocal8Bit(gateway.c_str()),
                                QString::fromLocal8Bit(dns.c_str()));
    showRouteNote();
}

// Without the right to add the link-local route the user is told the command that does.
void MainWindow::showRouteNote()
{
    const LinkLocalRoute& route = m_searchManage.GetLinkLocalRoute();
    if (route.GetState() == LinkLocalRoute::State::Missing) {
        m_statusBar->setRouteNote(QString::fromStdString(route.AddCommand()));
    }
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    BaseDialog::moveEvent(event);
    m_geometryChanged.start();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    BaseDialog::resizeEvent(event);
    m_geometryChanged.start();
    const int w = width();
    const int h = height();
    m_logoLabel->setGeometry(corners(2, 2, 231, 51));
    m_titleLabel->setGeometry(corners(0, 2, w - 235, 58));
    m_minButton->setGeometry(corners(w - 83, 3, w - 62, 24));
    m_separator1->setGeometry(corners(w - 58, 2, w - 58, 24));
    m_maxButton->setGeometry(corners(w - 54, 3, w - 33, 24));
    m_separator2->setGeometry(corners(w - 29, 2, w - 29, 24));
    m_closeButton->setGeometry(corners(w - 25, 3, w - 4, 24));
    m_toolFrame->setGeometry(corners(7, 59, w - 8, 92));
    const int textWidth = m_refreshButton->fontMetrics().horizontalAdvance(m_refreshButton->text());
    m_refreshButton->setGeometry(corners(30, 63, 30 + textWidth + 39, 88));
    layoutSiteTools(30 + textWidth + 39 + 12);
    // The about button keeps its right edge and grows leftwards only for a text that does not
    // fit its 50 pixels with a little room on each side; the toggle moves along.
    const int aboutText = m_aboutButton->fontMetrics().horizontalAdvance(m_aboutButton->text());
    const int grow = std::max(0, aboutText + kAboutTextRoom - 50);
    m_deviceBarButton->setGeometry(corners(w - 100 - grow, 63, w - 75 - grow, 88));
    m_aboutButton->setGeometry(corners(w - 70 - grow, 63, w - 21, 88));
    m_statusBar->setGeometry(corners(7, h - 37, w - 8, h - 8));
    slot_visibleDeviceBar(m_deviceBarButton->isChecked());
    if (!m_maximized) {
        m_normalGeometry = geometry();
    }
}

void MainWindow::slot_visibleDeviceBar(bool visible)
{
    const int w = width() - 1;
    const int h = height() - 1;
    if (visible) {
        m_deviceBarButton->setImagePath(QStringLiteral(":/skin/divide_open.png"));
        m_deviceList->setGeometry(corners(7, 92, w - 308, h - 37));
        m_controlBar->setGeometry(corners(w - 307, 92, w - 7, h - 37));
        m_controlBar->show();
    } else {
        m_deviceBarButton->setImagePath(QStringLiteral(":/skin/divide_close.png"));
        m_deviceList->setGeometry(corners(7, 92, w - 7, h - 37));
        m_controlBar->hide();
    }
}

void MainWindow::slot_maxBtnClicked()
{
    m_maximized = !m_maximized;
    if (m_maximized) {
        m_normalGeometry = geometry();
        m_maxButton->setStyleSheet(titleButtonStyle("normal.png"));
        m_maxButton->setAccessibleName(getText("IDCS_RESTORE"));
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            setGeometry(screen->availableGeometry());
        }
        m_framelessHelper->setResizable(false);
        m_framelessHelper->setMovable(false);
    } else {
        m_maxButton->setStyleSheet(titleButtonStyle("max.png"));
        m_maxButton->setAccessibleName(getText("IDCS_MAXIMIZE"));
        setGeometry(m_normalGeometry);
        m_framelessHelper->setResizable(true);
        m_framelessHelper->setMovable(true);
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    BaseDialog::mouseDoubleClickEvent(event);
    const QRect titleZone = corners(5, 5, width() - 6, 27);
    if (event->button() == Qt::LeftButton && titleZone.contains(event->position().toPoint())) {
        slot_maxBtnClicked();
    }
}

// A frameless window coming back from the task bar (or put into a state by the platform)
// gets its flags again. Setting flags hides and re-shows the window, which changes its state
// once more; acting only on the way out of minimised or platform-maximised states and only
// when the flags differ makes that round the last.
void MainWindow::changeEvent(QEvent* event)
{
    BaseDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Queued: the window manager activates the window once it has placed it.
        QTimer::singleShot(0, this, &MainWindow::syncNativePosition);
    }
    if (event->type() != QEvent::WindowStateChange || m_restoringFlags) {
        return;
    }
    const Qt::WindowStates now = windowState();
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (now.testFlag(Qt::WindowMinimized)) {
        return;
    }
    const bool fromTaskBar = before.testFlag(Qt::WindowMinimized);
    const bool byPlatform = now.testFlag(Qt::WindowMaximized) || now.testFlag(Qt::WindowFullScreen);
    if (fromTaskBar || byPlatform) {
        // Queued: the platform is still delivering this state change.
        QTimer::singleShot(0, this, &MainWindow::restoreFramelessFlags);
    }
}

void MainWindow::restoreFramelessFlags()
{
    if (windowState().testFlag(Qt::WindowMinimized)) {
        return;
    }
    m_restoringFlags = true;
    const Qt::WindowFlags wanted = Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint;
    if (windowFlags() != wanted) {
        setWindowFlags(wanted);
    }
    if (windowState() != Qt::WindowNoState || !isVisible()) {
        showNormal();
    }
    m_restoringFlags = false;
}

// Tab walks the tool strip, the list's header and its filter buttons, the list, then the
// control bar; every control shows the keyboard focus and has a name for a screen reader.
void MainWindow::setUpKeyboard()
{
    for (QPushButton* button : {static_cast<QPushButton*>(m_refreshButton),
                                static_cast<QPushButton*>(m_deviceBarButton),
                                static_cast<QPushButton*>(m_aboutButton)}) {
        // A click keeps the focus where it was; Tab reaches them.
        button->setFocusPolicy(Qt::TabFocus);
    }
    m_refreshButton->setAccessibleDescription(getText("IDCS_REFRESH_MODE"));
    m_refreshButton->toolMenu()->setAccessibleName(getText("IDCS_REFRESH_MODE"));
    QWidget::setTabOrder(m_refreshButton, m_deviceBarButton);
    QWidget::setTabOrder(m_deviceBarButton, m_aboutButton);
    QWidget::setTabOrder(m_aboutButton, m_header);
    QWidget::setTabOrder(m_header, m_deviceTypeButton);
    QWidget::setTabOrder(m_deviceTypeButton, m_ipButton);
    QWidget::setTabOrder(m_ipButton, m_portButton);
    QWidget::setTabOrder(m_portButton, m_deviceList);
    QWidget::setTabOrder(m_deviceList, m_controlBar);
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    refresh->setContext(Qt::WindowShortcut);
    connect(refresh, &QShortcut::activated, this, &MainWindow::slot_refresh);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // The dialog base would close the tool on Escape and click a default button on Return.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (!event->isAutoRepeat()) {
            activateFocusWidget();
        }
        return;
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}

// Enter on a row opens its page, as a double-click does; on a button it clicks (no button of
// the window is a default one, so the button itself leaves Enter to the window).
void MainWindow::activateFocusWidget()
{
    QWidget* focus = focusWidget();
    if (focus == m_deviceList) {
        QTreeWidgetItem* row = m_deviceList->currentItem();
        if (row != nullptr && row->isSelected()) {
            slot_itemDoubleClicked(row, m_deviceList->currentColumn());
        }
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
        if (button->isEnabled() && isAncestorOf(button)) {
            button->animateClick();
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && watched->inherits("QScrollBar")) {
        return true;
    }
    // Ctrl+C copies the whole selected row, not only the cell the list would copy.
    if (watched == m_deviceList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && copySelectedRow()) {
        return true;
    }
    if ((event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) && event->spontaneous() &&
        watched->isWidgetType()) {
        syncKnownPosition(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
    }
    return BaseDialog::eventFilter(watched, event);
}

// A window manager may place the frameless window without the toolkit learning where: the
// native window's known position stays at the corner of the manager's frame (0,0) while the
// widget's geometry is right, until the window is moved. Every popup placed from the window's
// position (a filter panel, the refresh menu) then opens away from its button. The pointer's
// position on the screen comes from the display server and is always right; when the place
// computed from the window's position disagrees with it, the native window is told where it is.
void MainWindow::syncKnownPosition(QWidget* target, const QMouseEvent* event)
{
    // Not while a button drags the window, nor while events from before a move of our own may
    // still come in with the old place.
    const bool settled = !m_geometryChanged.isValid() || m_geometryChanged.elapsed() > kSettleMs;
    const bool dragging = event->type() == QEvent::MouseMove && event->buttons() != Qt::NoButton;
    QWindow* native = windowHandle();
    if (native == nullptr || target->window() != this || isMinimized() || m_maximized || dragging || !settled) {
        return;
    }
    const QPoint local = event->position().toPoint();
    const QPoint actual = event->globalPosition().toPoint();
    // A pixel or two apart is rounding under a scaled display, not a stale position.
    if ((target->mapToGlobal(local) - actual).manhattanLength() > kRoundingSlack) {
        native->setPosition(actual - target->mapTo(this, local));
    }
}

// The same disagreement, seen without the pointer: once the window is shown and placed, the
// native window's position must be the widget's.
void MainWindow::syncNativePosition()
{
    QWindow* native = windowHandle();
    if (native == nullptr || !isVisible() || isMinimized() || m_maximized) {
        return;
    }
    if ((native->position() - geometry().topLeft()).manhattanLength() > kRoundingSlack) {
        native->setPosition(geometry().topLeft());
    }
}

void MainWindow::slot_about()
{
    AboutDlg dialog(this);
    dialog.exec();
}
