#include "AppSetup.h"
#include "DeviceTreeHeaderView.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "QMXMenu.h"
#include "QMXStyle.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QDir>
#include <QHoverEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <cstdio>

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

    // The type filter's header button shows under the mouse.
    QTest::mouseMove(header->viewport(), QPoint(header->sectionViewportPosition(1) + 20, 15));
    window.slot_maxBtnClicked();
    ok = shoot(out, "4-maximised") && ok;
    return ok ? 0 : 1;
}
