#include "IconButton.h"

#include "WidgetTestSupport.h"

#include <QLabel>
#include <QTest>

// The icon stays an 18 x 18 image centred in the button at every size.
class IconButtonTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void imagePlacement_data();
    void imagePlacement();
    void imageSwapKeepsPlacement();
};

void IconButtonTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void IconButtonTest::imagePlacement_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("imageAt");

    QTest::newRow("30 x 24") << QSize(30, 24) << QPoint(6, 3);
    QTest::newRow("18 x 18") << QSize(18, 18) << QPoint(0, 0);
    QTest::newRow("31 x 25 rounds down") << QSize(31, 25) << QPoint(6, 3);
    QTest::newRow("40 x 40") << QSize(40, 40) << QPoint(11, 11);
}

void IconButtonTest::imagePlacement()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, imageAt);

    QWidget window;
    auto* button = new IconButton(QStringLiteral(":/skin/divide_open.png"), &window);
    button->setObjectName(QStringLiteral("toggle"));
    button->resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* image = window.findChild<IconButton*>(QStringLiteral("toggle"))->findChild<QLabel*>();
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(imageAt, QSize(18, 18)));
    QVERIFY(image->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(image->styleSheet().contains(QStringLiteral(":/skin/divide_open.png")));
}

void IconButtonTest::imageSwapKeepsPlacement()
{
    IconButton button(QStringLiteral(":/skin/divide_open.png"));
    button.resize(30, 24);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    button.setImagePath(QStringLiteral(":/skin/divide_close.png"));
    button.resize(50, 30);
    auto* image = button.findChild<QLabel*>();
    QCOMPARE(image->geometry(), QRect(16, 6, 18, 18));
    QCOMPARE(button.imagePath(), QStringLiteral(":/skin/divide_close.png"));
    QVERIFY(image->styleSheet().contains(QStringLiteral(":/skin/divide_close.png")));
}

QTEST_MAIN(IconButtonTest)
#include "IconButtonTest.moc"
