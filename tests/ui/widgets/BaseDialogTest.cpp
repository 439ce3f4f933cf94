#include "BaseDialog.h"

#include "WidgetTestSupport.h"

#include <QTest>

// The border dialog lays its eight pieces and its body out for any size.
class BaseDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pieces_data();
    void pieces();
};

void BaseDialogTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void BaseDialogTest::pieces_data()
{
    QTest::addColumn<QString>("piece");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QRect>("expected"); // for a 400 x 300 dialog

    auto corners = [](int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r, b)); };
    QTest::newRow("body") << "contentWidget" << QString() << corners(2, 2, 397, 299);
    QTest::newRow("top edge") << "borderTop"
                              << "top_mid.png" << corners(7, 0, 392, 1);
    QTest::newRow("bottom edge") << "borderBottom"
                                 << "bottom_mid.png" << corners(3, 298, 396, 299);
    QTest::newRow("left edge") << "borderLeft"
                               << "left_mid.png" << corners(0, 7, 1, 296);
    QTest::newRow("right edge") << "borderRight"
                                << "right_mid.png" << corners(398, 7, 399, 296);
    QTest::newRow("top-left corner") << "borderTopLeft"
                                     << "left_top.png" << corners(0, 0, 6, 6);
    QTest::newRow("top-right corner") << "borderTopRight"
                                      << "right_top.png" << corners(393, 0, 399, 6);
    QTest::newRow("bottom-left corner") << "borderBottomLeft"
                                        << "left_bottom.png" << corners(0, 297, 2, 299);
    QTest::newRow("bottom-right corner") << "borderBottomRight"
                                         << "right_bottom.png" << corners(397, 297, 399, 299);
}

void BaseDialogTest::pieces()
{
    QFETCH(QString, piece);
    QFETCH(QString, image);
    QFETCH(QRect, expected);

    BaseDialog dialog(nullptr, Qt::FramelessWindowHint);
    dialog.resize(400, 300);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    auto* widget = dialog.findChild<QWidget*>(piece);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), expected);
    if (!image.isEmpty()) {
        QVERIFY(widget->styleSheet().contains(QStringLiteral(":/skin/") + image));
        if (WidgetTestSupport::skinExpected()) {
            QVERIFY(QFile::exists(QStringLiteral(":/skin/") + image));
        }
    }
    // Growing the dialog moves the far pieces with it.
    dialog.resize(500, 360);
    QCOMPARE(widget->geometry().right(), expected.right() + (expected.right() > 200 ? 100 : 0));
}

QTEST_MAIN(BaseDialogTest)
#include "BaseDialogTest.moc"
