#include "VistaTreeWidget.h"

#include "CheckBoxHeaderView.h"
#include "VistaDelegate.h"
#include "WidgetTestSupport.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

// Check states follow parents and children; the list's fixed settings.
class VistaTreeWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void construction();
    void checkPropagation_data();
    void checkPropagation();
    void headerWidgetsFollowGeometry();
    void headerWidgetsFollowHorizontalScroll();
    void rightDoubleClickIgnored();
    void editorGeometry_data();
    void editorGeometry();
};

namespace {
// Tree: R has children A and B; A has children A1 and A2. States are written in the order
// R A A1 A2 B as 0 (unchecked), 1 (partially checked), 2 (checked).

struct Tree
{
    QTreeWidgetItem* items[5];
};

Tree buildTree(VistaTreeWidget& widget, const QString& states)
{
    Tree tree{};
    const QSignalBlocker quiet(&widget);
    tree.items[0] = new QTreeWidgetItem(&widget, {"R"});
    tree.items[1] = new QTreeWidgetItem(tree.items[0], {"A"});
    tree.items[2] = new QTreeWidgetItem(tree.items[1], {"A1"});
    tree.items[3] = new QTreeWidgetItem(tree.items[1], {"A2"});
    tree.items[4] = new QTreeWidgetItem(tree.items[0], {"B"});
    for (int i = 0; i < 5; ++i) {
        tree.items[i]->setCheckState(0, Qt::CheckState(states.at(i).digitValue()));
    }
    return tree;
}

QString statesOf(const Tree& tree)
{
    QString states;
    for (QTreeWidgetItem* item : tree.items) {
        states += QString::number(int(item->checkState(0)));
    }
    return states;
}
} // namespace

void VistaTreeWidgetTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void VistaTreeWidgetTest::construction()
{
    VistaTreeWidget tree;
    QVERIFY(tree.alternatingRowColors());
    QCOMPARE(tree.selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(tree.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(tree.iconSize(), QSize(32, 32));
    QCOMPARE(tree.indentation(), 0);
    QCOMPARE(tree.palette().color(QPalette::Inactive, QPalette::AlternateBase), QColor(30, 31, 35));
    QCOMPARE(tree.palette().color(QPalette::Active, QPalette::Base), QColor(19, 20, 24));
    QVERIFY(!tree.header()->sectionsMovable());
    QVERIFY(!tree.columnLines());
}

void VistaTreeWidgetTest::checkPropagation_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<int>("changed");
    QTest::addColumn<int>("newState");
    QTest::addColumn<QString>("expected");

    QTest::newRow("checking the root checks everything") << "00000" << 0 << 2 << "22222";
    QTest::newRow("unchecking one leaf makes its ancestors partial") << "22222" << 2 << 0 << "11022";
    QTest::newRow("checking the last unchecked leaf completes the ancestors") << "11202" << 3 << 2 << "22222";
    QTest::newRow("checking a middle item checks its children") << "00000" << 1 << 2 << "12220";
    QTest::newRow("unchecking a middle item settles the root on its final children") << "12220" << 1 << 0 << "00000";
    QTest::newRow("unchecking the root clears everything") << "11202" << 0 << 0 << "00000";
    QTest::newRow("a partial state is left alone") << "00000" << 1 << 1 << "01000";
}

void VistaTreeWidgetTest::checkPropagation()
{
    QFETCH(QString, initial);
    QFETCH(int, changed);
    QFETCH(int, newState);
    QFETCH(QString, expected);

    VistaTreeWidget widget;
    const Tree tree = buildTree(widget, initial);
    QSignalSpy changes(&widget, &QTreeWidget::itemChanged);
    tree.items[changed]->setCheckState(0, Qt::CheckState(newState));
    QCOMPARE(statesOf(tree), expected);
    // Propagation runs with signals blocked: only the user's own change is reported.
    QCOMPARE(changes.count(), 1);
}

void VistaTreeWidgetTest::headerWidgetsFollowGeometry()
{
    VistaTreeWidget tree;
    auto* header = new CheckBoxHeaderView(Qt::Horizontal, nullptr, &tree);
    tree.setHeader(header);
    tree.setHeaderLabels({"One", "Two", "Three"});
    auto* button = new QWidget(header);
    button->resize(32, 20);
    QVERIFY(header->setSectionWidget(1, button, 2));
    tree.resize(500, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    header->resizeSection(0, 200);
    tree.setColumnWidth(1, 150);
    QTRY_COMPARE(button->x(), header->sectionViewportPosition(1) + 150 - 1 - 32);
}

// Scrolling the list sideways shifts the header's sections without resizing any of them.
void VistaTreeWidgetTest::headerWidgetsFollowHorizontalScroll()
{
    VistaTreeWidget tree;
    auto* header = new CheckBoxHeaderView(Qt::Horizontal, nullptr, &tree);
    tree.setHeader(header);
    tree.setHeaderLabels({"One", "Two", "Three", "Four"});
    header->setStretchLastSection(false);
    for (int column = 0; column < 4; ++column) {
        tree.setColumnWidth(column, 250);
    }
    auto* button = new QWidget(header);
    button->resize(32, 20);
    QVERIFY(header->setSectionWidget(2, button, 2));
    tree.resize(400, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QTRY_COMPARE(button->x(), 500 + 250 - 1 - 32);

    tree.horizontalScrollBar()->setValue(300);
    QCOMPARE(header->offset(), 300);
    QTRY_COMPARE(button->x(), 500 - 300 + 250 - 1 - 32);
}

void VistaTreeWidgetTest::rightDoubleClickIgnored()
{
    VistaTreeWidget tree;
    tree.setColumnCount(1);
    auto* item = new QTreeWidgetItem(&tree, {"row"});
    tree.resize(300, 200);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    QSignalSpy doubleClicked(&tree, &QTreeWidget::itemDoubleClicked);
    const QPoint centre = tree.visualItemRect(item).center();
    // A real double-click is a click followed by the double-click event.
    QTest::mouseClick(tree.viewport(), Qt::RightButton, Qt::NoModifier, centre);
    QTest::mouseDClick(tree.viewport(), Qt::RightButton, Qt::NoModifier, centre);
    QCOMPARE(doubleClicked.count(), 0);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(doubleClicked.count(), 1);
}

void VistaTreeWidgetTest::editorGeometry_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<QRect>("expected");

    // Cells shrink by 2 at the top and bottom and 1 at the right; the outer columns also
    // keep clear of the 7-pixel rounded row ends.
    QTest::newRow("first column") << 0 << QRect(0, 30, 100, 30) << QRect(7, 32, 92, 26);
    QTest::newRow("middle column") << 1 << QRect(100, 30, 100, 30) << QRect(100, 32, 99, 26);
    QTest::newRow("last column") << 2 << QRect(200, 30, 100, 30) << QRect(200, 32, 92, 26);
}

void VistaTreeWidgetTest::editorGeometry()
{
    QFETCH(int, column);
    QFETCH(QRect, cell);
    QFETCH(QRect, expected);

    VistaTreeWidget tree;
    tree.setColumnCount(3);
    auto* item = new QTreeWidgetItem(&tree, {"a", "b", "c"});
    auto* delegate = qobject_cast<VistaDelegate*>(tree.itemDelegate());
    QVERIFY(delegate);
    QWidget editor(&tree);
    QStyleOptionViewItem option;
    option.rect = cell;
    delegate->updateEditorGeometry(&editor, option, tree.indexFromItem(item, column));
    QCOMPARE(editor.geometry(), expected);
}

QTEST_MAIN(VistaTreeWidgetTest)
#include "VistaTreeWidgetTest.moc"
