#include "ToolButton.h"

#include "QMXMenu.h"
#include "WidgetTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The split button: the menu opens only from the arrow at the right end.
class ToolButtonTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void menuOpensOnlyFromArrow_data();
    void menuOpensOnlyFromArrow();
    void buttonWithoutMenu();
};

void ToolButtonTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void ToolButtonTest::menuOpensOnlyFromArrow_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("opens");

    // Button 120 pixels wide: the arrow zone is x 97 to 119.
    QTest::newRow("left end") << 0 << false;
    QTest::newRow("middle") << 60 << false;
    QTest::newRow("one pixel left of the arrow") << 96 << false;
    QTest::newRow("first pixel of the arrow") << 97 << true;
    QTest::newRow("last pixel") << 119 << true;
}

void ToolButtonTest::menuOpensOnlyFromArrow()
{
    QFETCH(int, x);
    QFETCH(bool, opens);

    QWidget window;
    window.resize(300, 100);
    ToolButton button(QStringLiteral("Refresh"), true, &window);
    button.setObjectName(QStringLiteral("refreshButton"));
    button.setGeometry(20, 10, 120, 30);
    QMXMenu* menu = button.toolMenu();
    QVERIFY(menu);
    menu->addAction(QStringLiteral("Every 5 s"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* found = window.findChild<ToolButton*>(QStringLiteral("refreshButton"));
    QVERIFY(found);
    bool shown = false;
    QPoint shownAt;
    connect(menu, &QMenu::aboutToShow, this, [&]() {
        shown = true;
        // Close from inside the menu's own loop, after its position is settled.
        QTimer::singleShot(0, menu, [&]() {
            shownAt = menu->pos();
            menu->close();
        });
    });
    QSignalSpy clicked(found, &QAbstractButton::clicked);

    QTest::mouseClick(found, Qt::LeftButton, Qt::NoModifier, QPoint(x, 15));
    QCOMPARE(shown, opens);
    QCOMPARE(clicked.count(), opens ? 0 : 1);
    QVERIFY(!menu->isVisible());
    QVERIFY(!found->isDown());
    if (opens) {
        QCOMPARE(shownAt, found->mapToGlobal(QPoint(0, 0)) + QPoint(120 - 24, 30));
    }
}

void ToolButtonTest::buttonWithoutMenu()
{
    ToolButton button(QStringLiteral("Plain"), false);
    button.resize(120, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QVERIFY(button.toolMenu() == nullptr);
    QVERIFY(button.menu() == nullptr);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(110, 15));
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(ToolButtonTest)
#include "ToolButtonTest.moc"
