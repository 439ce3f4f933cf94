#include "CheckBoxHeaderView.h"

#include "WidgetTestSupport.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

// Section widgets: one per section, placed by mode, moved along with resized sections.
class CheckBoxHeaderViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void construction();
    void refusesBadSections_data();
    void refusesBadSections();
    void refusesSecondWidget();
    void placement_data();
    void placement();
    void followsResizedSections();

private:
    QTreeWidget* m_tree = nullptr;
    CheckBoxHeaderView* m_header = nullptr;
};

void CheckBoxHeaderViewTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void CheckBoxHeaderViewTest::init()
{
    m_tree = new QTreeWidget;
    m_tree->setColumnCount(4);
    m_header = new CheckBoxHeaderView(Qt::Horizontal, nullptr, m_tree);
    m_header->setObjectName(QStringLiteral("checkHeader"));
    m_tree->setHeader(m_header);
    m_tree->setHeaderLabels({"A", "B", "C", "D"});
    m_header->resizeSection(0, 120);
    m_header->resizeSection(1, 150);
    m_header->resizeSection(2, 100);
    m_tree->resize(600, 300);
}

void CheckBoxHeaderViewTest::cleanup()
{
    delete m_tree;
}

void CheckBoxHeaderViewTest::construction()
{
    QVERIFY(m_header->stretchLastSection());
    QCOMPARE(m_header->minimumSectionSize(), 52);
    QVERIFY(!m_header->sectionsMovable());
    QCOMPARE(m_header->defaultAlignment(), Qt::AlignCenter);
}

void CheckBoxHeaderViewTest::refusesBadSections_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("negative") << -1 << false;
    QTest::newRow("first") << 0 << true;
    QTest::newRow("last") << 3 << true;
    QTest::newRow("the section count") << 4 << true;
    QTest::newRow("above the section count") << 5 << false;
}

void CheckBoxHeaderViewTest::refusesBadSections()
{
    QFETCH(int, section);
    QFETCH(bool, accepted);

    auto* widget = new QPushButton(m_header);
    widget->show();
    QCOMPARE(m_header->setSectionWidget(section, widget, 0), accepted);
    QCOMPARE(m_header->sectionWidget(section) == widget, accepted);
    QCOMPARE(widget->isHidden(), accepted);
    QVERIFY(!m_header->setSectionWidget(1, nullptr, 0));
}

void CheckBoxHeaderViewTest::refusesSecondWidget()
{
    auto* first = new QPushButton(m_header);
    auto* second = new QPushButton(m_header);
    second->show();
    QVERIFY(m_header->setSectionWidget(1, first, 2));
    QVERIFY(!m_header->setSectionWidget(1, second, 0));
    QCOMPARE(m_header->sectionWidget(1), first);
    QVERIFY(!second->isHidden()); // a refused widget is left alone
    QVERIFY(m_header->setSectionWidget(2, second, 0));
}

void CheckBoxHeaderViewTest::placement_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("expectedX");

    // Section 1 spans x 120 to 269; the widget is 32 pixels wide.
    QTest::newRow("left: 21 pixels in") << 0 << 141;
    QTest::newRow("centred") << 1 << 120 + (150 - 32) / 2;
    QTest::newRow("right: one pixel in") << 2 << 269 - 32;
    QTest::newRow("any other mode is right") << 7 << 269 - 32;
}

void CheckBoxHeaderViewTest::placement()
{
    QFETCH(int, mode);
    QFETCH(int, expectedX);

    auto* widget = new QPushButton(m_header);
    widget->resize(32, 20);
    QVERIFY(m_header->setSectionWidget(1, widget, mode));
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree));
    QCOMPARE(widget->x(), expectedX);
    QCOMPARE(widget->y(), (m_header->height() - 20) / 2);
    QVERIFY(widget->isHidden()); // placing never shows it
}

void CheckBoxHeaderViewTest::followsResizedSections()
{
    auto* left = new QPushButton(m_header);
    auto* right = new QPushButton(m_header);
    left->resize(20, 20);
    right->resize(32, 20);
    QVERIFY(m_header->setSectionWidget(0, left, 0));
    QVERIFY(m_header->setSectionWidget(2, right, 2));
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree));
    QCOMPARE(right->x(), 120 + 150 + 100 - 1 - 32);

    m_header->resizeSection(1, 200);
    QCOMPARE(left->x(), 21);
    QCOMPARE(right->x(), 120 + 200 + 100 - 1 - 32);
}

QTEST_MAIN(CheckBoxHeaderViewTest)
#include "CheckBoxHeaderViewTest.moc"
