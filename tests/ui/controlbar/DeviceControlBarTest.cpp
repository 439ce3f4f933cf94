#include "DeviceControlBar.h"

#include "ButtonControl.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "MacAddrEdit.h"
#include "MessageBoxRecorder.h"
#include "WidgetTestSupport.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The control bar as the user meets it: the sections' geometry for every open/closed
// combination, the headers' clicks and looks, the form's checks and the restore panel.
class DeviceControlBarTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void sectionGeometry_data();
    void sectionGeometry();
    void headerClicks_data();
    void headerClicks();
    void headerLooks();
    void formChecks_data();
    void formChecks();
    void restorePanel_data();
    void restorePanel();

private:
    template <class T> T* child(const char* name) const
    {
        return m_bar->findChild<T*>(QString::fromLatin1(name));
    }

    DeviceControlBar* m_bar = nullptr;
};

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 620;
const char* const kMac = "02:5C:01:00:00:00";

// Types each octet or pair into its own field; an empty string leaves that field empty.
void fill(QWidget* edit, const QStringList& parts)
{
    const QList<QLineEdit*> fields = edit->findChildren<QLineEdit*>();
    QCOMPARE(fields.size(), parts.size());
    for (int i = 0; i < parts.size(); ++i) {
        fields[i]->setText(parts[i]);
    }
}

QColor pixelAt(QWidget* widget, QPoint point)
{
    return widget->grab().toImage().pixelColor(point);
}

QString box(const char* title, const char* key)
{
    return getText(title) + QLatin1Char('|') + getText(key);
}

} // namespace

void DeviceControlBarTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    QVERIFY(WidgetTestSupport::loadTestLanguage(1033));
}

void DeviceControlBarTest::cleanupTestCase()
{
    releaseLanguage();
}

void DeviceControlBarTest::init()
{
    m_bar = new DeviceControlBar;
    m_bar->resize(kWidth, kHeight);
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar));
}

void DeviceControlBarTest::cleanup()
{
    delete m_bar;
    m_bar = nullptr;
}

void DeviceControlBarTest::sectionGeometry_data()
{
    QTest::addColumn<bool>("networkOpen");
    QTest::addColumn<bool>("restoreOpen");
    QTest::addColumn<QRect>("networkBody"); // null: hidden
    QTest::addColumn<QRect>("restoreHeader");
    QTest::addColumn<QRect>("restoreBody");

    const int w = kWidth - 1;
    QTest::newRow("network open (start)") << true << false << QRect(1, 33, w, 413) << QRect(0, 310, w, 33) << QRect();
    QTest::newRow("both open") << true << true << QRect(1, 33, w, 413) << QRect(0, 310, w, 33)
                               << QRect(1, 343, w, kHeight - 343);
    QTest::newRow("both closed") << false << false << QRect() << QRect(0, 33, w, 33) << QRect();
    QTest::newRow("restore open") << false << true << QRect() << QRect(0, 33, w, 33) << QRect(1, 66, w, kHeight - 66);
}

void DeviceControlBarTest::sectionGeometry()
{
    QFETCH(bool, networkOpen);
    QFETCH(bool, restoreOpen);
    QFETCH(QRect, networkBody);
    QFETCH(QRect, restoreHeader);
    QFETCH(QRect, restoreBody);

    // The user's way: clicking the headers that must change.
    auto* network = child<ButtonControl>("networkHeader");
    if (!networkOpen) {
        QTest::mouseClick(network, Qt::LeftButton);
    }
    if (restoreOpen) {
        QTest::mouseClick(child<ButtonControl>("restoreHeader"), Qt::LeftButton);
    }
    QCOMPARE(network->geometry(), QRect(0, 0, kWidth - 1, 33));
    QCOMPARE(child<QWidget>("networkBody")->isVisible(), !networkBody.isNull());
    if (!networkBody.isNull()) {
        QCOMPARE(child<QWidget>("networkBody")->geometry(), networkBody);
        QCOMPARE(child<QWidget>("save")->geometry(), QRect(209, 176, 80, 23));
    }
    QCOMPARE(child<ButtonControl>("restoreHeader")->geometry(), restoreHeader);
    QCOMPARE(child<QWidget>("restoreBody")->isVisible(), !restoreBody.isNull());
    if (!restoreBody.isNull()) {
        QCOMPARE(child<QWidget>("restoreBody")->geometry(), restoreBody);
        QCOMPARE(child<QWidget>("ok")->geometry(), QRect(209, 33, 80, 23));
    }
}

void DeviceControlBarTest::headerClicks_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("toggles");

    QTest::newRow("left click") << int(Qt::LeftButton) << QPoint(50, 16) << true;
    QTest::newRow("left press, release outside") << int(Qt::LeftButton) << QPoint(50, 60) << false;
    QTest::newRow("right click") << int(Qt::RightButton) << QPoint(50, 16) << false;
}

void DeviceControlBarTest::headerClicks()
{
    QFETCH(int, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, toggles);

    auto* header = child<ButtonControl>("networkHeader");
    QSignalSpy clicked(header, &ButtonControl::clicked);
    const auto mouseButton = Qt::MouseButton(button);
    QTest::mousePress(header, mouseButton, Qt::NoModifier, QPoint(50, 16));
    QTest::mouseRelease(header, mouseButton, Qt::NoModifier, releaseAt);

    QCOMPARE(clicked.size(), toggles ? 1 : 0);
    if (toggles) {
        QCOMPARE(clicked.first().first().toBool(), false);
    }
    QCOMPARE(header->isExpanded(), !toggles);
    QCOMPARE(child<QWidget>("networkBody")->isVisible(), !toggles);
    QCOMPARE(child<ButtonControl>("restoreHeader")->y(), toggles ? 33 : 310);
}

void DeviceControlBarTest::headerLooks()
{
    auto* network = child<ButtonControl>("networkHeader");
    auto* restore = child<ButtonControl>("restoreHeader");
    // The arrow strips have three 11-pixel frames: rest, hover, pressed.
    const auto frame = [](const char* path, int index) {
        return QImage(QString::fromLatin1(path)).copy(index * 11, 0, 11, 8).convertToFormat(QImage::Format_ARGB32);
    };
    const auto arrow = [](ButtonControl* header) {
        return header->findChild<QWidget*>(QStringLiteral("arrow"))
            ->grab()
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    };
    const QPoint inside(5, 16);
    // The looks of the mouse are checked without the keyboard focus mark.
    network->clearFocus();

    // Right after start both arrows show their middle frame.
    QCOMPARE(arrow(network), frame(":/skin/collapse.png", 1));
    QCOMPARE(arrow(restore), frame(":/skin/expand.png", 1));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(network, &leave);
    QCOMPARE(pixelAt(network, inside), QColor(43, 44, 49));
    QCOMPARE(arrow(network), frame(":/skin/collapse.png", 0));

    QEnterEvent enter(QPointF(5, 16), QPointF(5, 16), QPointF(5, 16));
    QApplication::sendEvent(network, &enter);
    QCOMPARE(pixelAt(network, inside), QColor(75, 80, 84));
    QCOMPARE(arrow(network), frame(":/skin/collapse.png", 1));

    QTest::mousePress(network, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(pixelAt(network, inside), QColor(37, 38, 44));
    QCOMPARE(arrow(network), frame(":/skin/collapse.png", 2));
    QCOMPARE(pixelAt(network, QPoint(5, 0)), QColor(78, 83, 90)); // border on top only

    QTest::mouseRelease(network, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(pixelAt(network, inside), QColor(75, 80, 84));
    QCOMPARE(arrow(network), frame(":/skin/expand.png", 1));

    QApplication::sendEvent(network, &leave);
    QCOMPARE(pixelAt(network, inside), QColor(43, 44, 49));
    QCOMPARE(arrow(network), frame(":/skin/expand.png", 0));
}

void DeviceControlBarTest::formChecks_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QStringList>("ip");
    QTest::addColumn<QStringList>("mask");
    QTest::addColumn<QStringList>("gateway");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // empty: the signal is emitted

    const QStringList ip{"192", "168", "1", "64"};
    const QStringList mask{"255", "255", "255", "0"};
    const QStringList gateway{"192", "168", "1", "1"};
    const QStringList none{"", "", "", ""};
    const QStringList partial{"192", "168", "", "1"};
    const auto error = [](const char* key) { return box("IDCS_ERROR", key); };

    QTest::newRow("no device selected") << false << ip << mask << gateway << ""
                                        << box("IDCS_WARNING", "IDCS_NETWORK_PARAM_EMPTY");
    QTest::newRow("IP empty") << true << none << mask << gateway << "" << error("IDCS_PROMPT_IPADDRESS_EMPTY");
    QTest::newRow("IP partial") << true << partial << mask << gateway << "" << error("IDCS_PROMPT_IPADDRESS_INVALID");
    QTest::newRow("mask empty") << true << ip << none << gateway << "" << error("IDCS_PROMPT_SUBNET_MASK_EMPTY");
    QTest::newRow("mask partial") << true << ip << partial << gateway << "" << error("IDCS_PROMPT_SUBNET_MASK_INVALID");
    QTest::newRow("mask and gateway wrong")
        << true << ip << partial << none << "" << error("IDCS_PROMPT_SUBNET_MASK_INVALID");
    QTest::newRow("gateway empty") << true << ip << mask << none << "" << error("IDCS_PROMPT_GATEWAY_EMPTY");
    QTest::newRow("gateway partial") << true << ip << mask << partial << "" << error("IDCS_PROMPT_GATEWAY_INVALID");
    QTest::newRow("any four octets pass")
        << true << ip << QStringList{"255", "255", "0", "255"} << gateway << " Admin123 "
        << "";
    QTest::newRow("empty password") << true << ip << mask << gateway << ""
                                    << "";
}

void DeviceControlBarTest::formChecks()
{
    QFETCH(bool, selected);
    QFETCH(QStringList, ip);
    QFETCH(QStringList, mask);
    QFETCH(QStringList, gateway);
    QFETCH(QString, password);
    QFETCH(QString, message);

    if (selected) {
        m_bar->setNetworkParam(QString::fromLatin1(kMac), "10.0.0.64", "255.255.255.0", "10.0.0.1");
        QCOMPARE(child<MacAddrEdit>("mac")->isEnabled(), false);
    }
    fill(child<IpAddrEdit>("ip"), ip);
    fill(child<IpAddrEdit>("mask"), mask);
    fill(child<IpAddrEdit>("gateway"), gateway);
    child<QLineEdit>("password")->setText(password);
    QSignalSpy emitted(m_bar, &DeviceControlBar::sig_changeNetworkParam);
    MessageBoxRecorder boxes;

    QTest::mouseClick(child<QWidget>("save"), Qt::LeftButton);

    if (!message.isEmpty()) {
        QCOMPARE(boxes.boxes(), QStringList{message});
        QCOMPARE(emitted.size(), 0);
        QCOMPARE(child<IpAddrEdit>("ip")->findChildren<QLineEdit*>().at(0)->text(), ip.at(0)); // fields kept
        return;
    }
    QCOMPARE(boxes.boxes(), QStringList());
    QCOMPARE(emitted.size(), 1);
    const QList<QVariant> args = emitted.first();
    QCOMPARE(args.at(0).toString(), QString::fromLatin1(kMac));
    QCOMPARE(args.at(1).toString(), ip.join('.'));
    QCOMPARE(args.at(2).toString(), mask.join('.'));
    QCOMPARE(args.at(3).toString(), gateway.join('.'));
    QCOMPARE(args.at(4).toString(), password.trimmed());
    QVERIFY(args.at(5).toString().isNull());
    QVERIFY(args.at(6).toString().isNull());
    QCOMPARE(args.at(7).toBool(), false);
}

void DeviceControlBarTest::restorePanel_data()
{
    QTest::addColumn<QStringList>("pairs");
    QTest::addColumn<QString>("emitted"); // empty: a message instead
    QTest::addColumn<QString>("message");

    const QString empty = box("IDCS_WARNING", "IDCS_MAC_ADDRESS_EMPTY_ERROR");
    const QString incomplete = box("IDCS_ERROR", "IDCS_MAC_ADDRESS_INCOMPLETE");
    QTest::newRow("untouched") << QStringList{"", "", "", "", "", ""} << "" << empty;
    QTest::newRow("lower case") << QStringList{"00", "1a", "2b", "3c", "4d", "5e"} << "00:1A:2B:3C:4D:5E"
                                << "";
    QTest::newRow("pairs missing") << QStringList{"00", "1a", "", "3c", "", "5e"} << "" << incomplete;
    QTest::newRow("half a pair") << QStringList{"00", "1a", "2b", "3c", "4d", "5"} << "" << incomplete;
}

void DeviceControlBarTest::restorePanel()
{
    QFETCH(QStringList, pairs);
    QFETCH(QString, emitted);
    QFETCH(QString, message);

    QTest::mouseClick(child<ButtonControl>("restoreHeader"), Qt::LeftButton);
    auto* mac = child<MacAddrEdit>("restoreMac");
    fill(mac, pairs);
    child<QWidget>("ok")->setFocus();
    QSignalSpy spy(m_bar, &DeviceControlBar::sig_restorePwd);
    MessageBoxRecorder boxes;

    QTest::mouseClick(child<QWidget>("ok"), Qt::LeftButton);

    if (emitted.isEmpty()) {
        QCOMPARE(boxes.boxes(), QStringList{message});
        QCOMPARE(spy.size(), 0);
        // The focus is back in the MAC field's first pair, ready for typing.
        QCOMPARE(m_bar->focusWidget(), mac->findChildren<QLineEdit*>().first());
        return;
    }
    QCOMPARE(boxes.boxes(), QStringList());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toString(), emitted);
    m_bar->clearRestoreMac();
    QCOMPARE(mac->text(), QString());
}

QTEST_MAIN(DeviceControlBarTest)
#include "DeviceControlBarTest.moc"
