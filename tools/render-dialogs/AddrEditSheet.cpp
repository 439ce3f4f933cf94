#include "AddrEditSheet.h"

#include "IpAddrEdit.h"
#include "MacAddrEdit.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPainter>

#include <functional>
#include <memory>

namespace {
struct Kind
{
    const char* name;
    std::function<SegmentedAddrEdit*(QWidget*)> make;
    QStringList partial;
    QStringList full;
};

const char* const kStates[] = {"rest", "hovered", "focused", "disabled"};
const char* const kContents[] = {"empty", "partial", "full"};
const QSize kSizes[] = {QSize(170, 23), QSize(200, 26)};
constexpr int kCaptionWidth = 130;
constexpr int kGap = 8;

void fill(SegmentedAddrEdit* edit, const QStringList& texts)
{
    const QList<QLineEdit*> fields = edit->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < fields.size(); ++i) {
        fields.at(i)->setText(texts.value(i));
    }
}

// Puts the editor into one of the looks; hover is what the style sees when the pointer is over it.
void applyState(SegmentedAddrEdit* edit, const QString& state)
{
    if (state == QLatin1String("hovered")) {
        edit->setAttribute(Qt::WA_UnderMouse, true);
    } else if (state == QLatin1String("focused")) {
        edit->setFocus(Qt::TabFocusReason);
    } else if (state == QLatin1String("disabled")) {
        edit->setEnabled(false);
    }
    QApplication::processEvents();
}

QImage grabOne(QWidget& host, const Kind& kind, const QSize& size, const QString& state, int contents)
{
    std::unique_ptr<SegmentedAddrEdit> edit(kind.make(&host));
    edit->setGeometry(QRect(QPoint(10, 10), size));
    edit->show();
    fill(edit.get(), contents == 0 ? QStringList() : contents == 1 ? kind.partial : kind.full);
    applyState(edit.get(), state);
    const QImage image = edit->grab().toImage();
    host.setFocus();
    return image;
}
} // namespace

QImage renderAddrEditSheet()
{
    const Kind kinds[] = {
        {"IPv4",
         [](QWidget* parent) { return new IpAddrEdit(parent); },
         {QStringLiteral("10"), QStringLiteral("0"), QString(), QStringLiteral("1")},
         {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("100"), QStringLiteral("254")}},
        {"MAC",
         [](QWidget* parent) { return new MacAddrEdit(parent); },
         {QStringLiteral("00"), QStringLiteral("1A")},
         {QStringLiteral("AA"),
          QStringLiteral("BB"),
          QStringLiteral("CC"),
          QStringLiteral("DD"),
          QStringLiteral("EE"),
          QStringLiteral("FF")}},
    };
    QWidget host;
    host.setFocusPolicy(Qt::StrongFocus);
    host.resize(300, 100);
    host.show();
    host.activateWindow();
    // The focused look needs an active window; offscreen activation arrives through the event loop.
    const QDeadlineTimer deadline(2000);
    while (!host.isActiveWindow() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    const int columnWidth = kSizes[1].width() + kGap;
    const int rowHeight = kSizes[1].height() + kGap;
    const int columns = 2 * 2;
    const int rows = 4 * 3;
    QImage sheet(kCaptionWidth + columns * columnWidth + kGap, (rows + 1) * rowHeight + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(37, 39, 43));
    QPainter painter(&sheet);
    painter.setPen(QColor(200, 200, 200));
    int column = 0;
    for (const Kind& kind : kinds) {
        for (const QSize& size : kSizes) {
            const int x = kCaptionWidth + column * columnWidth;
            painter.drawText(
                QRect(x, 0, columnWidth, rowHeight),
                Qt::AlignCenter,
                QStringLiteral("%1 %2x%3").arg(QLatin1String(kind.name)).arg(size.width()).arg(size.height()));
            int row = 1;
            for (const char* state : kStates) {
                for (int contents = 0; contents < 3; ++contents) {
                    const int y = row * rowHeight;
                    if (column == 0) {
                        painter.drawText(
                            QRect(kGap, y, kCaptionWidth, size.height()),
                            Qt::AlignVCenter,
                            QStringLiteral("%1, %2").arg(QLatin1String(state), QLatin1String(kContents[contents])));
                    }
                    painter.drawImage(x, y, grabOne(host, kind, size, QLatin1String(state), contents));
                    ++row;
                }
            }
            ++column;
        }
    }
    return sheet;
}
