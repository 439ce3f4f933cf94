#include "AppSetup.h"
#include "DeviceRowInfo.h"
#include "DeviceTreeHeaderView.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "N12_MessageBox.h"
#include "QMXMenu.h"
#include "QMXStyle.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QHoverEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidgetItem>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>

namespace {
void settle(int ms)
{
    QTest::qWait(ms);
}

bool shoot(const QString& dir, const char* name)
{
    settle(300);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!shot.save(path)) {
        std::fprintf(stderr, "render-mainwindow: could not save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}
// Message boxes and the row menu run their own event loops: a timer takes their pictures
// and answers them, in the order they are expected.
class ModalAnswerer
{
public:
    struct Step
    {
        const char* name; // the picture's name; null: none
        int button;       // the box's button; 0 for the row menu, which is closed
    };

    ModalAnswerer(const QString& dir, bool& ok)
        : m_dir(dir)
        , m_ok(ok)
    {
        m_timer.setInterval(100);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() { answer(); });
        m_timer.start();
    }
    void expect(Step step)
    {
        m_steps.push_back(step);
    }
    bool done() const
    {
        return m_steps.empty();
    }

private:
    void answer()
    {
        if (m_steps.empty() || m_busy) {
            return;
        }
        QWidget* modal =
            m_steps.front().button == 0 ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        const Step step = m_steps.front();
        m_steps.pop_front();
        m_busy = true;
        if (step.name != nullptr) {
            m_ok = shoot(m_dir, step.name) && m_ok;
        }
        if (auto* box = qobject_cast<N12_MessageBox*>(modal)) {
            box->slot_buttonClicked(step.button);
        } else {
            modal->close();
        }
        m_busy = false;
    }

    QString m_dir;
    bool& m_ok;
    QTimer m_timer;
    std::deque<Step> m_steps;
    bool m_busy = false;
};

void waitFor(const std::function<bool()>& condition)
{
    for (int i = 0; i < 200 && !condition(); ++i) {
        settle(50);
    }
}

// The actions on a camera of the program's own subnet: the busy state while a change waits,
// the question about an address in use, the restore confirmation and the row menu.
bool shootActions(MainWindow& window, VistaTreeWidget* list, const QString& out)
{
    QTreeWidgetItem* camera = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const DeviceRowInfo* record = MainWindow::recordOf(list->topLevelItem(i));
        if (record != nullptr && record->deviceType == QLatin1String("QMX_IPC") &&
            record->ipAddress.startsWith(QLatin1String("10.0.0."))) {
            camera = list->topLevelItem(i);
        }
    }
    if (camera == nullptr) {
        std::fprintf(stderr, "render-mainwindow: no camera in the program's own subnet\n");
        return false;
    }
    bool ok = true;
    ModalAnswerer answerer(out, ok);
    list->scrollToItem(camera);
    list->setCurrentItem(camera);
    auto* ip = window.findChild<IpAddrEdit*>(QStringLiteral("ip"));
    auto* password = window.findChild<QLineEdit*>(QStringLiteral("password"));
    auto* save = window.findChild<QPushButton*>(QStringLiteral("save"));
    // An address nobody holds: the segment is asked for a second, then the wrong password is refused.
    ip->setText(QStringLiteral("10.0.0.200"));
    password->setText(QStringLiteral("wrong"));
    answerer.expect({nullptr, N12_MessageBox::Ok});
    save->click();
    ok = shoot(out, "5-busy") && ok;
    waitFor([&]() { return answerer.done() && !window.requestRunning(); });

    // The host's own address.
    answerer.expect({"6-address-in-use", N12_MessageBox::No});
    ip->setText(QStringLiteral("10.0.0.5"));
    save->click();
    waitFor([&]() { return answerer.done() && !window.requestRunning(); });

    // The address of another listed device.
    QString otherAddress;
    for (int i = 0; i < list->topLevelItemCount() && otherAddress.isEmpty(); ++i) {
        const DeviceRowInfo* record = MainWindow::recordOf(list->topLevelItem(i));
        if (record != nullptr && list->topLevelItem(i) != camera &&
            record->ipAddress.startsWith(QLatin1String("10.0.0."))) {
            otherAddress = record->ipAddress;
        }
    }
    if (!otherAddress.isEmpty()) {
        answerer.expect({"6b-address-of-a-device", N12_MessageBox::No});
        ip->setText(otherAddress);
        save->click();
        waitFor([&]() { return answerer.done() && !window.requestRunning(); });
    }

    answerer.expect({"7-restore-confirmation", N12_MessageBox::No});
    window.slot_restorePwd(MainWindow::recordOf(camera)->mac);

    answerer.expect({"8-row-menu", 0});
    const QRect cell = list->visualItemRect(camera);
    window.slot_rowMenuRequested(QPoint(list->viewport()->width() / 3, cell.center().y()));
    return ok;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QString out = QStringLiteral("/tmp/scanix-window");
    int after = 6;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--out")) {
            out = args.at(i + 1);
        } else if (args.at(i) == QLatin1String("--after")) {
            after = args.at(i + 1).toInt();
        }
    }
    QDir().mkpath(out);
    AppSetup::installStyleSheet(app);
    AppSetup::installApplicationFont(LanguageSrc::chooseLanguageId());
    app.setStyle(new QMXStyle);

    MainWindow window;
    window.move(40, 40);
    window.show();
    settle(after * 1000);
    auto* list = window.findChild<VistaTreeWidget*>(QStringLiteral("deviceList"));
    bool ok = true;
    if (list->topLevelItemCount() > 3) {
        list->setCurrentItem(list->topLevelItem(1));
        const QRect hovered = list->visualItemRect(list->topLevelItem(3));
        // The pointer on a virtual display gives no enter event to a window that was never
        // entered: the view learns the row under the mouse from a hover event.
        const QPointF at(hovered.center());
        QHoverEvent hover(QEvent::HoverEnter, at, list->viewport()->mapToGlobal(at), QPointF(-1, -1));
        QCoreApplication::sendEvent(list->viewport(), &hover);
    }
    ok = shoot(out, "1-minimum-size") && ok;

    auto* refresh = window.findChild<ToolButton*>(QStringLiteral("refreshButton"));
    refresh->toolMenu()->popup(refresh->mapToGlobal(QPoint(refresh->width() - 24, refresh->height())));
    ok = shoot(out, "2-refresh-menu") && ok;
    refresh->toolMenu()->hide();

    auto* header = qobject_cast<DeviceTreeHeaderView*>(list->header());
    header->columnMenu()->popup(header->mapToGlobal(QPoint(300, 20)));
    ok = shoot(out, "3-column-menu") && ok;
    header->columnMenu()->hide();

    ok = shootActions(window, list, out) && ok;
    // A name too long for the device record, as the engine reads it from a report: cut on a
    // character, marked, and whole in the tooltip with a line saying so.
    std::string mac = "00:AA:BB:CC:DD:01";
    window.searchManage().OnSearchCallback(
        mac.data(),
        1,
        "<multicastSearchResult><productInfo><productSeries>QMX_IPC</productSeries></productInfo><tcpIp><ipAddr>"
        "<item><ip>192.168.1.250</ip></item></ipAddr></tcpIp><port><dataPort>9008</dataPort><httpPort>80</httpPort>"
        "</port><productInfo><devName>北门入口摄像机一号北门停车场</devName><productSeries>QMX_IPC</productSeries>"
        "<productModel>IPC-4K-B-Panorama-Outdoor</productModel></productInfo></multicastSearchResult>");
    settle(500);
    if (QTreeWidgetItem* cut = list->findItems(QStringLiteral("192.168.1.250"), Qt::MatchExactly, 3).value(0)) {
        list->scrollToItem(cut);
        const QRect cell = list->visualItemRect(cut).intersected(
            QRect(header->sectionViewportPosition(0), 0, header->sectionSize(0), 100000));
        QHelpEvent help(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(list->viewport(), &help);
        ok = shoot(out, "5-cut-name-tooltip") && ok;
        const QRect model = list->visualItemRect(cut).intersected(
            QRect(header->sectionViewportPosition(2), 0, header->sectionSize(2), 100000));
        QHelpEvent elided(QEvent::ToolTip, model.center(), list->viewport()->mapToGlobal(model.center()));
        QCoreApplication::sendEvent(list->viewport(), &elided);
        ok = shoot(out, "6-elided-model-tooltip") && ok;
        QToolTip::hideText();
    }

    // An address filter on: its button stays shown and marked, the count says shown of found.
    window.slot_ipaddressMenuTriggered(QStringLiteral("192.168.1.1"), QStringLiteral("192.168.1.100"));
    QTest::mouseMove(list->viewport(), QPoint(200, 200));
    ok = shoot(out, "7-ip-filter-on") && ok;
    window.slot_filterCleared();

    // The keyboard focus on each control that Tab reaches.
    window.activateWindow();
    const char* const focusable[] = {"refreshButton",
                                     "deviceBarButton",
                                     "aboutButton",
                                     "deviceTreeHeader",
                                     "deviceTypeFilterButton",
                                     "ipFilterButton",
                                     "portFilterButton",
                                     "networkHeader",
                                     "restoreHeader"};
    for (const char* name : focusable) {
        if (auto* widget = window.findChild<QWidget*>(QString::fromLatin1(name))) {
            widget->setFocus(Qt::TabFocusReason);
            ok = shoot(out, qPrintable(QStringLiteral("8-focus-%1").arg(QString::fromLatin1(name)))) && ok;
        }
    }
    list->setFocus(Qt::TabFocusReason);

    // The type filter's header button shows under the mouse.
    QTest::mouseMove(header->viewport(), QPoint(header->sectionViewportPosition(1) + 20, 15));
    window.slot_maxBtnClicked();
    ok = shoot(out, "9-maximised") && ok;
    return ok ? 0 : 1;
}
