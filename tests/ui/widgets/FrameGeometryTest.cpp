#include "FrameGeometry.h"

#include <QTest>

// The frame rules as plain functions: hit test, resize, move band, title drag.
class FrameGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data();
    void hitTest();
    void resized_data();
    void resized();
    void moveBand_data();
    void moveBand();
    void titleDrag_data();
    void titleDrag();
    void geometryLocked_data();
    void geometryLocked();
};

namespace {
// Inclusive left 100, top 100, right 499, bottom 399.
const QRect kFrame(100, 100, 400, 300);
const QSize kMinimum(300, 200);

EdgeHitTest press(const char* edges)
{
    const QByteArray e(edges);
    EdgeHitTest hit;
    hit.onLeft = e.contains('L');
    hit.onRight = e.contains('R');
    hit.onTop = e.contains('T');
    hit.onBottom = e.contains('B');
    hit.onTopLeft = hit.onTop && hit.onLeft;
    hit.onTopRight = hit.onTop && hit.onRight;
    hit.onBottomLeft = hit.onBottom && hit.onLeft;
    hit.onBottomRight = hit.onBottom && hit.onRight;
    hit.onEdges = !e.isEmpty();
    return hit;
}
} // namespace

void FrameGeometryTest::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("edges");
    QTest::addColumn<int>("cursor");

    QTest::newRow("left edge at left + margin") << QPoint(105, 200) << "L" << int(Qt::SizeHorCursor);
    QTest::newRow("one pixel past the left margin") << QPoint(106, 200) << "" << int(Qt::ArrowCursor);
    QTest::newRow("left coordinate itself") << QPoint(100, 200) << "L" << int(Qt::SizeHorCursor);
    QTest::newRow("left of the frame") << QPoint(99, 200) << "" << int(Qt::ArrowCursor);
    QTest::newRow("right edge at right - margin + 1") << QPoint(495, 200) << "R" << int(Qt::SizeHorCursor);
    QTest::newRow("one pixel inside the right margin") << QPoint(494, 200) << "" << int(Qt::ArrowCursor);
    QTest::newRow("right + 1") << QPoint(500, 200) << "R" << int(Qt::SizeHorCursor);
    QTest::newRow("right + 2") << QPoint(501, 200) << "" << int(Qt::ArrowCursor);
    QTest::newRow("top edge at top + margin") << QPoint(300, 105) << "T" << int(Qt::SizeVerCursor);
    QTest::newRow("below the top margin") << QPoint(300, 106) << "" << int(Qt::ArrowCursor);
    QTest::newRow("bottom edge") << QPoint(300, 395) << "B" << int(Qt::SizeVerCursor);
    QTest::newRow("above the bottom margin") << QPoint(300, 394) << "" << int(Qt::ArrowCursor);
    QTest::newRow("top-left corner") << QPoint(102, 103) << "TL" << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-right corner") << QPoint(498, 398) << "BR" << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right corner") << QPoint(498, 101) << "TR" << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-left corner") << QPoint(101, 398) << "BL" << int(Qt::SizeBDiagCursor);
    QTest::newRow("middle") << QPoint(300, 250) << "" << int(Qt::ArrowCursor);
}

void FrameGeometryTest::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(QString, edges);
    QFETCH(int, cursor);

    const EdgeHitTest hit = FrameGeometry::hitTest(kFrame, point, 5);
    QCOMPARE(hit.onLeft, edges.contains('L'));
    QCOMPARE(hit.onRight, edges.contains('R'));
    QCOMPARE(hit.onTop, edges.contains('T'));
    QCOMPARE(hit.onBottom, edges.contains('B'));
    QCOMPARE(hit.onEdges, !edges.isEmpty());
    QCOMPARE(hit.onTopLeft, edges == "TL");
    QCOMPARE(hit.onBottomRight, edges == "BR");
    QCOMPARE(int(FrameGeometry::cursorFor(hit)), cursor);
}

void FrameGeometryTest::resized_data()
{
    QTest::addColumn<QString>("edges");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("expected");

    const QPoint tl = kFrame.topLeft();
    const QPoint br = kFrame.bottomRight();
    QTest::newRow("left edge out") << "L" << QPoint(50, 250) << QRect(QPoint(50, tl.y()), br);
    QTest::newRow("left edge in, still wide enough") << "L" << QPoint(199, 250) << QRect(QPoint(199, tl.y()), br);
    QTest::newRow("left edge in to the minimum width") << "L" << QPoint(200, 250) << QRect(QPoint(200, tl.y()), br);
    QTest::newRow("left edge below the minimum keeps both edges") << "L" << QPoint(201, 250) << kFrame;
    QTest::newRow("left edge past the right edge") << "L" << QPoint(700, 250) << kFrame;
    QTest::newRow("right edge out") << "R" << QPoint(650, 250) << QRect(tl, QPoint(650, br.y()));
    QTest::newRow("right edge below the minimum") << "R" << QPoint(398, 250) << kFrame;
    QTest::newRow("top edge below the minimum height") << "T" << QPoint(300, 201) << kFrame;
    QTest::newRow("bottom edge out") << "B" << QPoint(300, 500) << QRect(tl, QPoint(br.x(), 500));
    QTest::newRow("bottom-right corner") << "BR" << QPoint(700, 600) << QRect(tl, QPoint(700, 600));
    QTest::newRow("top-left corner, too narrow: only the left goes back")
        << "TL" << QPoint(250, 120) << QRect(QPoint(100, 120), br);
    QTest::newRow("no edge pressed") << "" << QPoint(10, 10) << kFrame;
}

void FrameGeometryTest::resized()
{
    QFETCH(QString, edges);
    QFETCH(QPoint, point);
    QFETCH(QRect, expected);

    const QRect result = FrameGeometry::resized(kFrame, press(edges.toLatin1().constData()), point, kMinimum);
    QCOMPARE(result, expected);
    if (edges == "L") {
        QCOMPARE(result.right(), kFrame.right());
    }
}

void FrameGeometryTest::moveBand_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");

    // Widget of 800 x 600: the band runs from (5, 5) to (794, 54).
    QTest::newRow("top-left of the band") << QPoint(5, 5) << true;
    QTest::newRow("left of the band") << QPoint(4, 20) << false;
    QTest::newRow("above the band") << QPoint(20, 4) << false;
    QTest::newRow("bottom-right of the band") << QPoint(794, 54) << true;
    QTest::newRow("right of the band") << QPoint(795, 20) << false;
    QTest::newRow("below the band") << QPoint(20, 55) << false;
}

void FrameGeometryTest::moveBand()
{
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(FrameGeometry::inMoveBand(QSize(800, 600), point), inside);
}

void FrameGeometryTest::titleDrag_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("drags");

    QTest::newRow("left at y 0") << int(Qt::LeftButton) << 0 << true;
    QTest::newRow("left at y 27") << int(Qt::LeftButton) << 27 << true;
    QTest::newRow("left at y 28") << int(Qt::LeftButton) << 28 << false;
    QTest::newRow("right at y 10") << int(Qt::RightButton) << 10 << false;
}

void FrameGeometryTest::titleDrag()
{
    QFETCH(int, button);
    QFETCH(int, y);
    QFETCH(bool, drags);
    QCOMPARE(FrameGeometry::startsTitleDrag(Qt::MouseButton(button), QPoint(100, y)), drags);
}

void FrameGeometryTest::geometryLocked_data()
{
    QTest::addColumn<int>("states");
    QTest::addColumn<bool>("locked");

    QTest::newRow("normal") << int(Qt::WindowNoState) << false;
    QTest::newRow("minimised") << int(Qt::WindowMinimized) << false;
    QTest::newRow("maximised") << int(Qt::WindowMaximized) << true;
    QTest::newRow("full screen") << int(Qt::WindowFullScreen) << true;
    QTest::newRow("maximised and active") << int(Qt::WindowMaximized | Qt::WindowActive) << true;
}

void FrameGeometryTest::geometryLocked()
{
    QFETCH(int, states);
    QFETCH(bool, locked);
    QCOMPARE(FrameGeometry::geometryLocked(Qt::WindowStates(states)), locked);
}

QTEST_MAIN(FrameGeometryTest)
#include "FrameGeometryTest.moc"
