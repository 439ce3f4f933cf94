#include "IPFilterMenu.h"
#include "PortFilterMenu.h"
#include "PortLineEdit.h"
#include "QMXCheckBox.h"
#include "QMXPushButton.h"
#include "WidgetTestSupport.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The IP and data-port range forms: what OK and Cancel report, and which clicks close them.
class FilterMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void okReportsTheRangeOrClears_data();
    void okReportsTheRangeOrClears();
    void cancelReportsNothing_data();
    void cancelReportsNothing();
    void onlyClicksOutsideClose_data();
    void onlyClicksOutsideClose();
    void tabWalksTheForm();

private:
    static std::unique_ptr<RangeFilterMenu> makeMenu(const QString& kind);
    static void openMenu(RangeFilterMenu& menu);
    static void fillFields(RangeFilterMenu& menu, const QString& kind);
    static void addKinds();
};

void FilterMenuTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
    QVERIFY(WidgetTestSupport::loadTestLanguage(1033));
}

std::unique_ptr<RangeFilterMenu> FilterMenuTest::makeMenu(const QString& kind)
{
    if (kind == QLatin1String("port")) {
        return std::make_unique<PortFilterMenu>(5, nullptr);
    }
    return std::make_unique<IPFilterMenu>(3, nullptr);
}

void FilterMenuTest::addKinds()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::newRow("ip") << "ip" << 3 << "192.168.1.1"
                        << "192.168.1.100";
    QTest::newRow("port") << "port" << 5 << "80"
                          << "8080";
}

void FilterMenuTest::openMenu(RangeFilterMenu& menu)
{
    menu.popup(QPoint(200, 200));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
}

// One key at a time into whatever holds the focus, as a user types.
void FilterMenuTest::fillFields(RangeFilterMenu& menu, const QString& kind)
{
    const QString texts[] = {kind == QLatin1String("port") ? QStringLiteral("80") : QStringLiteral("192.168.1.1"),
                             kind == QLatin1String("port") ? QStringLiteral("8080") : QStringLiteral("192.168.1.100")};
    const char* const names[] = {"startField", "endField"};
    for (int i = 0; i < 2; ++i) {
        auto* field = menu.findChild<QWidget*>(QString::fromLatin1(names[i]));
        QVERIFY(field != nullptr);
        field->setFocus(Qt::OtherFocusReason);
        for (const QChar c : texts[i]) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
    }
}

void FilterMenuTest::okReportsTheRangeOrClears_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::newRow("ip, condition checked") << "ip" << true << "192.168.1.1"
                                           << "192.168.1.100";
    QTest::newRow("ip, condition unchecked") << "ip" << false << ""
                                             << "";
    QTest::newRow("port, condition checked") << "port" << true << "80"
                                             << "8080";
    QTest::newRow("port, condition unchecked") << "port" << false << ""
                                               << "";
}

void FilterMenuTest::okReportsTheRangeOrClears()
{
    QFETCH(QString, kind);
    QFETCH(bool, checked);
    QFETCH(QString, minimum);
    QFETCH(QString, maximum);

    auto menu = makeMenu(kind);
    openMenu(*menu);
    auto* condition = menu->findChild<QMXCheckBox*>(QStringLiteral("filterCondition"));
    const QList<QWidget*> dependents = {menu->findChild<QWidget*>(QStringLiteral("startLabel")),
                                        menu->findChild<QWidget*>(QStringLiteral("startField")),
                                        menu->findChild<QWidget*>(QStringLiteral("endLabel")),
                                        menu->findChild<QWidget*>(QStringLiteral("endField"))};
    for (QWidget* w : dependents) {
        QVERIFY(w != nullptr);
        QVERIFY(!w->isEnabled());
    }
    // The fields are filled while enabled; unchecking afterwards must still clear.
    QTest::mouseClick(condition, Qt::LeftButton);
    QVERIFY(condition->isChecked());
    for (QWidget* w : dependents) {
        QVERIFY(w->isEnabled());
    }
    fillFields(*menu, kind);
    if (!checked) {
        QTest::mouseClick(condition, Qt::LeftButton);
        for (QWidget* w : dependents) {
            QVERIFY(!w->isEnabled());
        }
    }
    QVERIFY(menu->isVisible());

    QSignalSpy changed(menu.get(), &RangeFilterMenu::filterChanged);
    QSignalSpy cleared(menu.get(), &RangeFilterMenu::filterCleared);
    QTest::mouseClick(menu->findChild<QMXPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    QVERIFY(!menu->isVisible());
    QCOMPARE(cleared.count(), checked ? 0 : 1);
    QCOMPARE(changed.count(), checked ? 1 : 0);
    if (checked) {
        QCOMPARE(changed.at(0).at(0).toString(), minimum);
        QCOMPARE(changed.at(0).at(1).toString(), maximum);
    }
}

void FilterMenuTest::cancelReportsNothing_data()
{
    addKinds();
}

void FilterMenuTest::cancelReportsNothing()
{
    QFETCH(QString, kind);

    auto menu = makeMenu(kind);
    openMenu(*menu);
    QTest::mouseClick(menu->findChild<QMXCheckBox*>(QStringLiteral("filterCondition")), Qt::LeftButton);
    fillFields(*menu, kind);
    QSignalSpy changed(menu.get(), &RangeFilterMenu::filterChanged);
    QSignalSpy cleared(menu.get(), &RangeFilterMenu::filterCleared);
    QTest::mouseClick(menu->findChild<QMXPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    QVERIFY(!menu->isVisible());
    QCOMPARE(changed.count() + cleared.count(), 0);
}

void FilterMenuTest::onlyClicksOutsideClose_data()
{
    addKinds();
}

void FilterMenuTest::onlyClicksOutsideClose()
{
    QFETCH(QString, kind);
    QFETCH(int, index);

    auto menu = makeMenu(kind);
    QSignalSpy shown(menu.get(), qOverload<int>(&RangeFilterMenu::show));
    QSignalSpy hidden(menu.get(), qOverload<int>(&RangeFilterMenu::hide));
    openMenu(*menu);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.at(0).at(0).toInt(), index);

    // Background, a label, a disabled field: none of them is a menu entry to trigger.
    const QPoint inside[] = {QPoint(250, 20), QPoint(200, 148), QPoint(20, 57), QPoint(150, 90)};
    for (const QPoint& p : inside) {
        QTest::mouseClick(menu.get(), Qt::LeftButton, {}, p);
        QVERIFY2(menu->isVisible(), qPrintable(QStringLiteral("closed by a click at %1,%2").arg(p.x()).arg(p.y())));
    }
    QCOMPARE(hidden.count(), 0);

    QTest::mouseClick(menu.get(), Qt::LeftButton, {}, QPoint(-20, 60));
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 2000);
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(hidden.at(0).at(0).toInt(), index);
}

// A menu would turn Tab into a move between its entries; the form has fields instead.
void FilterMenuTest::tabWalksTheForm()
{
    auto menu = makeMenu(QStringLiteral("port"));
    openMenu(*menu);
    // Opened, the form waits at its condition; Space checks it.
    auto* condition = menu->findChild<QMXCheckBox*>(QStringLiteral("filterCondition"));
    QCOMPARE(QApplication::focusWidget(), condition);
    QTest::keyClick(condition, Qt::Key_Space);
    QVERIFY(condition->isChecked());
    auto* start = menu->findChild<QWidget*>(QStringLiteral("startField"));
    start->setFocus(Qt::OtherFocusReason);
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), menu->findChild<QWidget*>(QStringLiteral("endField")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), menu->findChild<QWidget*>(QStringLiteral("ok")));
    QVERIFY(menu->isVisible());
    // Enter in a field applies the form, as OK does.
    QSignalSpy changed(menu.get(), &RangeFilterMenu::filterChanged);
    fillFields(*menu, QStringLiteral("port"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("80"));
    QTRY_VERIFY_WITH_TIMEOUT(!menu->isVisible(), 2000);
}

QTEST_MAIN(FilterMenuTest)
#include "FilterMenuTest.moc"
