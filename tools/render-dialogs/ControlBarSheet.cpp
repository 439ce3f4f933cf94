#include "ControlBarSheet.h"

#include "ButtonControl.h"
#include "DeviceControlBar.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <functional>

namespace {

constexpr int kBarHeight = 560;
constexpr int kGap = 12;

void clickHeader(DeviceControlBar& bar, const char* name)
{
    auto* header = bar.findChild<ButtonControl*>(QString::fromLatin1(name));
    const QPointF at(20, 16);
    QMouseEvent press(QEvent::MouseButtonPress, at, header->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(header, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, header->mapToGlobal(at), Qt::LeftButton, {}, {});
    QApplication::sendEvent(header, &release);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(header, &leave);
}

void hoverHeader(DeviceControlBar& bar, const char* name)
{
    auto* header = bar.findChild<ButtonControl*>(QString::fromLatin1(name));
    QEnterEvent enter(QPointF(20, 16), QPointF(20, 16), header->mapToGlobal(QPointF(20, 16)));
    QApplication::sendEvent(header, &enter);
}

void pressHeader(DeviceControlBar& bar, const char* name)
{
    auto* header = bar.findChild<ButtonControl*>(QString::fromLatin1(name));
    hoverHeader(bar, name);
    const QPointF at(20, 16);
    QMouseEvent press(QEvent::MouseButtonPress, at, header->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(header, &press);
}

void fill(DeviceControlBar& bar)
{
    bar.setNetworkParam(QStringLiteral("02:5C:01:00:00:00"),
                        QStringLiteral("192.168.1.64"),
                        QStringLiteral("255.255.255.0"),
                        QStringLiteral("192.168.1.1"));
    bar.findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("Admin123"));
    bar.findChild<QWidget*>(QStringLiteral("restoreMac"))->findChildren<QLineEdit*>().first()->setText("02");
}

} // namespace

QImage renderControlBarSheet()
{
    const std::function<void(DeviceControlBar&)> states[] = {
        [](DeviceControlBar& bar) { fill(bar); },
        [](DeviceControlBar& bar) {
            fill(bar);
            clickHeader(bar, "restoreHeader");
        },
        [](DeviceControlBar& bar) {
            clickHeader(bar, "networkHeader");
            clickHeader(bar, "restoreHeader");
        },
        [](DeviceControlBar& bar) { clickHeader(bar, "networkHeader"); },
        [](DeviceControlBar& bar) { hoverHeader(bar, "networkHeader"); },
        [](DeviceControlBar& bar) { pressHeader(bar, "restoreHeader"); },
    };
    const int count = int(std::size(states));
    QImage sheet(count * (DeviceControlBar::kWidth + kGap) + kGap, kBarHeight + 2 * kGap, QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 90));
    QPainter painter(&sheet);
    for (int i = 0; i < count; ++i) {
        DeviceControlBar bar;
        bar.resize(DeviceControlBar::kWidth, kBarHeight);
        bar.show();
        QApplication::processEvents();
        states[i](bar);
        QApplication::processEvents();
        painter.drawPixmap(kGap + i * (DeviceControlBar::kWidth + kGap), kGap, bar.grab());
    }
    return sheet;
}
