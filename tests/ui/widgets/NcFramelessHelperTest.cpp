#include "NcFramelessHelper.h"

#include "WidgetTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTest>
#include <QWidget>

// The move/resize helper on a real top-level widget driven by mouse events.
class NcFramelessHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void attachMakesFrameless();
    void leftEdgeResize_data();
    void leftEdgeResize();
    void moveOnlyFromTopBand_data();
    void moveOnlyFromTopBand();
    void rubberBandCommitsOnRelease();
    void maximisedWindowKeepsGeometry();
    void maximisedWindowShowsNoRubberBand();
    void sizeCursorFollowsEdges();
    void resizingOffDropsCursorAndBand();
    void detachRestores();

private:
    void hover(const QPoint& local);
    void drag(const QPoint& from, const QPoint& to);

    QWidget* m_window = nullptr;
    NcFramelessHelper* m_helper = nullptr;
};

namespace {
const QRect kStart(200, 150, 500, 400);
}

void NcFramelessHelperTest::initTestCase()
{
    QCOMPARE(WidgetTestSupport::applySkin(), WidgetTestSupport::skinExpected());
}

void NcFramelessHelperTest::init()
{
    m_window = new QWidget;
    m_window->setMinimumSize(400, 300);
    m_window->setGeometry(kStart);
    m_helper = new NcFramelessHelper(m_window);
    m_helper->attachTo(m_window);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_window->frameGeometry(), kStart);
}

void NcFramelessHelperTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_helper = nullptr;
}

// A move without buttons, as the window system sends it while the mouse hovers.
void NcFramelessHelperTest::hover(const QPoint& local)
{
    QMouseEvent move(QEvent::MouseMove,
                     QPointF(local),
                     QPointF(m_window->mapToGlobal(local)),
                     Qt::NoButton,
                     Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m_window, &move);
}

void NcFramelessHelperTest::drag(const QPoint& from, const QPoint& to)
{
    QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, from);
    // The window moves under the pointer; `to` is relative to where it started.
    const QPoint global = m_window->mapToGlobal(from) + (to - from);
    QTest::mouseMove(m_window, m_window->mapFromGlobal(global));
    QTest::mouseRelease(m_window, Qt::LeftButton, Qt::NoModifier, m_window->mapFromGlobal(global));
}

void NcFramelessHelperTest::attachMakesFrameless()
{
    QVERIFY(m_window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(m_window->hasMouseTracking());
    QVERIFY(m_window->isVisible());
    QCOMPARE(NcFramelessHelper::resizeMargin(), 5);
    NcFramelessHelper::setResizeMargin(-3);
    QCOMPARE(NcFramelessHelper::resizeMargin(), 5);
}

void NcFramelessHelperTest::leftEdgeResize_data()
{
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("expectedLeft");

    QTest::newRow("outwards") << -50 << kStart.left() - 50;
    QTest::newRow("inwards, above the minimum") << 60 << kStart.left() + 60;
    QTest::newRow("inwards to the minimum") << 100 << kStart.left() + 100;
    QTest::newRow("inwards below the minimum: nothing moves") << 101 << kStart.left();
}

void NcFramelessHelperTest::leftEdgeResize()
{
    QFETCH(int, dx);
    QFETCH(int, expectedLeft);

    drag(QPoint(0, 200), QPoint(dx, 200));
    QCOMPARE(m_window->frameGeometry().left(), expectedLeft);
    QCOMPARE(m_window->frameGeometry().right(), kStart.right());
    QCOMPARE(m_window->frameGeometry().top(), kStart.top());
}

void NcFramelessHelperTest::moveOnlyFromTopBand_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<bool>("moves");

    QTest::newRow("inside the top band") << QPoint(100, 54) << true;
    QTest::newRow("below the top band") << QPoint(100, 55) << false;
    QTest::newRow("the body") << QPoint(250, 200) << false;
}

void NcFramelessHelperTest::moveOnlyFromTopBand()
{
    QFETCH(QPoint, press);
    QFETCH(bool, moves);

    drag(press, press + QPoint(30, 20));
    QCOMPARE(m_window->frameGeometry(), moves ? kStart.translated(30, 20) : kStart);

    m_helper->setMovable(false);
    drag(press, press + QPoint(30, 20));
    QCOMPARE(m_window->frameGeometry(), moves ? kStart.translated(30, 20) : kStart);
}

void NcFramelessHelperTest::rubberBandCommitsOnRelease()
{
    m_helper->setRubberBandOnResize(true);
    const QPoint from(499, 200);
    QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(m_window, from + QPoint(80, 0));
    auto* band = m_window->findChild<QRubberBand*>();
    QVERIFY(band == nullptr); // the band is a top-level of its own, not a child
    QCOMPARE(m_window->frameGeometry(), kStart);
    QTest::mouseRelease(m_window, Qt::LeftButton, Qt::NoModifier, from + QPoint(80, 0));
    QCOMPARE(m_window->frameGeometry(), QRect(kStart.topLeft(), kStart.size() + QSize(80, 0)));
}

void NcFramelessHelperTest::maximisedWindowKeepsGeometry()
{
    m_window->showMaximized();
    QTRY_VERIFY(m_window->isMaximized());
    const QRect maximised = m_window->frameGeometry();

    hover(QPoint(1, 100));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    drag(QPoint(1, 100), QPoint(120, 100));
    QCOMPARE(m_window->frameGeometry(), maximised);
    drag(QPoint(100, 20), QPoint(150, 80));
    QCOMPARE(m_window->frameGeometry(), maximised);
}

// The main window's settings while maximised: a press on its screen edge must not
// outline a resize that cannot happen, nor commit a geometry to the maximised window.
void NcFramelessHelperTest::maximisedWindowShowsNoRubberBand()
{
    m_helper->setRubberBandOnResize(true);
    m_window->showMaximized();
    QTRY_VERIFY(m_window->isMaximized());
    m_helper->setMovable(false);
    m_helper->setResizable(false);
    const QRect maximised = m_window->frameGeometry();

    // Sent straight to the window: the test platform may not move a maximised window.
    const QPoint edge(1, 100);
    const QPoint globalEdge = maximised.topLeft() + edge;
    QMouseEvent press(
        QEvent::MouseButtonPress, QPointF(edge), QPointF(globalEdge), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &press);
    bool bandShown = false;
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (qobject_cast<QRubberBand*>(topLevel) != nullptr && topLevel->isVisible()) {
            bandShown = true;
        }
    }
    QMouseEvent release(
        QEvent::MouseButtonRelease, QPointF(edge), QPointF(globalEdge), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &release);
    QVERIFY(!bandShown);
    QVERIFY(m_window->isMaximized());
    QCOMPARE(m_window->frameGeometry(), maximised);
}

void NcFramelessHelperTest::sizeCursorFollowsEdges()
{
    // A top-level window keeps its cursor attribute; the shape tells.
    hover(QPoint(1, 200));
    QCOMPARE(m_window->cursor().shape(), Qt::SizeHorCursor);
    hover(QPoint(498, 398));
    QCOMPARE(m_window->cursor().shape(), Qt::SizeFDiagCursor);
    hover(QPoint(250, 200));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);

    m_helper->setResizable(false);
    hover(QPoint(1, 200));
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    drag(QPoint(1, 200), QPoint(-40, 200));
    QCOMPARE(m_window->frameGeometry(), kStart);
}

// The main window maximises by geometry and switches resizing off, so its window state stays
// normal: the switch itself must drop the size cursor, and an edge press must show no band.
void NcFramelessHelperTest::resizingOffDropsCursorAndBand()
{
    m_helper->setRubberBandOnResize(true);
    hover(QPoint(1, 200));
    QCOMPARE(m_window->cursor().shape(), Qt::SizeHorCursor);
    m_helper->setResizable(false);
    m_helper->setMovable(false);
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);

    QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, QPoint(1, 200));
    bool bandShown = false;
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        bandShown = bandShown || (qobject_cast<QRubberBand*>(topLevel) != nullptr && topLevel->isVisible());
    }
    QTest::mouseRelease(m_window, Qt::LeftButton, Qt::NoModifier, QPoint(1, 200));
    QVERIFY(!bandShown);
    QCOMPARE(m_window->frameGeometry(), kStart);
}

void NcFramelessHelperTest::detachRestores()
{
    m_helper->detachFrom(m_window);
    QVERIFY(!m_window->hasMouseTracking());
    QVERIFY(!m_window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(m_window->isVisible());
    drag(QPoint(2, 200), QPoint(-40, 200));
    QCOMPARE(m_window->frameGeometry().size(), kStart.size());
}

QTEST_MAIN(NcFramelessHelperTest)
#include "NcFramelessHelperTest.moc"
