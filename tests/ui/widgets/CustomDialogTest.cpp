#include "CustomDialog.h"

#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

// The title-bar dialog: dragging by the title bar only, its layout, its close button.
class CustomDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dragStartsOnlyInTitleBar_data();
    void dragStartsOnlyInTitleBar();
    void layoutFollowsSize();
    void closeButtonCloses();
};

void CustomDialogTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void CustomDialogTest::dragStartsOnlyInTitleBar_data()
{
    QTest::addColumn<int>("pressY");
    QTest::addColumn<bool>("moves");

    QTest::newRow("y 27, last line of the title bar") << 27 << true;
    QTest::newRow("y 28, below the title bar") << 28 << false;
    QTest::newRow("y 5") << 5 << true;
    QTest::newRow("y 100, the body") << 100 << false;
}

void CustomDialogTest::dragStartsOnlyInTitleBar()
{
    QFETCH(int, pressY);
    QFETCH(bool, moves);

    CustomDialog dialog;
    dialog.move(100, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint before = dialog.pos();

    const QPoint press(60, pressY);
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(&dialog, press + QPoint(40, 30));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, press + QPoint(40, 30));

    QCOMPARE(dialog.pos(), moves ? before + QPoint(40, 30) : before);
    // After the release a move without a button must not drag any more.
    const QPoint after = dialog.pos();
    QTest::mouseMove(&dialog, QPoint(10, 10));
    QCOMPARE(dialog.pos(), after);
}

void CustomDialogTest::layoutFollowsSize()
{
    CustomDialog dialog;
    dialog.setTitle(QStringLiteral("Title"));
    dialog.resize(400, 250);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.minimumSize(), QSize(350, 200));
    QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
    auto* title = dialog.findChild<QLabel*>(QStringLiteral("titleLabel"));
    QVERIFY(title);
    QCOMPARE(title->text(), QStringLiteral("Title"));
    QCOMPARE(title->geometry(), QRect(QPoint(1, 1), QPoint(398, 28)));
    auto* close = dialog.findChild<QAbstractButton*>(QStringLiteral("closeButton"));
    QVERIFY(close);
    QCOMPARE(close->geometry(), QRect(378, 3, 22, 22));
    auto* bottom = dialog.findChild<QWidget*>(QStringLiteral("bottomBar"));
    QVERIFY(bottom);
    QCOMPARE(bottom->geometry(), QRect(QPoint(1, 221), QPoint(398, 248)));
}

void CustomDialogTest::closeButtonCloses()
{
    CustomDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    auto* close = dialog.findChild<QAbstractButton*>(QStringLiteral("closeButton"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(rejected.count(), 1);
}

QTEST_MAIN(CustomDialogTest)
#include "CustomDialogTest.moc"
