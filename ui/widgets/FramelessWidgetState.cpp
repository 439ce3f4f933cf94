#include "FramelessWidgetState.h"

#include "NcFramelessHelper.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

FramelessWidgetState::FramelessWidgetState(NcFramelessHelper* helper, QWidget* widget)
    : m_helper(helper)
    , m_widget(widget)
    , m_originalFlags(widget->windowFlags())
    , m_wasVisible(widget->isVisible())
{
    m_widget->setMouseTracking(true);
    // The minimise hint keeps the window minimisable from the task bar without a system frame.
    m_widget->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    m_widget->setAttribute(Qt::WA_Hover);
    setRubberBandWanted(helper->rubberBandOnResize() || helper->rubberBandOnMove());
    // Changing window flags hides a widget.
    m_widget->setVisible(m_wasVisible);
}

FramelessWidgetState::~FramelessWidgetState()
{
    delete m_rubberBand;
}

void FramelessWidgetState::restoreWidget()
{
    clearCursor();
    const bool visible = m_widget->isVisible();
    m_widget->setMouseTracking(false);
    m_widget->setWindowFlags(m_originalFlags);
    m_widget->setAttribute(Qt::WA_Hover, false);
    m_widget->setVisible(visible);
    setRubberBandWanted(false);
}

void FramelessWidgetState::setRubberBandWanted(bool wanted)
{
    if (wanted && m_rubberBand == nullptr) {
        m_rubberBand = new QRubberBand(QRubberBand::Rectangle);
        m_rubberBand->setObjectName(QStringLiteral("framelessRubberBand"));
    } else if (!wanted && m_rubberBand != nullptr) {
        delete m_rubberBand;
        m_rubberBand = nullptr;
    }
}

void FramelessWidgetState::cancelGesture()
{
    clearCursor();
    if (m_rubberBand != nullptr) {
        m_rubberBand->hide();
    }
}

void FramelessWidgetState::handleEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        mousePress(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseButtonRelease:
        mouseRelease(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::MouseMove:
        mouseMove(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::HoverMove:
        if (m_helper->isResizable()) {
            updateCursor(m_widget->mapToGlobal(static_cast<QHoverEvent*>(event)->position().toPoint()));
        }
        break;
    case QEvent::Leave:
        if (!m_leftButtonHeld) {
            clearCursor();
        }
        break;
    default:
        break;
    }
}

void FramelessWidgetState::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    const QRect frame = m_widget->frameGeometry();
    m_leftButtonHeld = true;
    m_pressHit = FrameGeometry::hitTest(frame, global, NcFramelessHelper::resizeMargin());
    m_dragOffset = global - frame.topLeft();
    // Only a gesture that can happen is outlined: an edge of a resizable window, the move
    // band of a movable one.
    const bool wantBand = m_pressHit.onEdges
                              ? m_helper->rubberBandOnResize() && m_helper->isResizable()
                              : m_helper->rubberBandOnMove() && m_helper->isMovable() &&
                                    FrameGeometry::inMoveBand(m_widget->size(), event->position().toPoint());
    // A maximised window neither moves nor resizes, so there is nothing to outline; a band
    // shown here would cover the screen until the release and then re-apply the geometry.
    if (wantBand && m_rubberBand != nullptr && !FrameGeometry::geometryLocked(m_widget->windowState())) {
        m_rubberBand->setGeometry(frame);
        m_rubberBand->show();
    }
    m_cursorInMoveBand = FrameGeometry::inMoveBand(m_widget->size(), event->position().toPoint());
}

void FramelessWidgetState::mouseRelease(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_leftButtonHeld = false;
    m_cursorInMoveBand = false;
    m_pressHit = EdgeHitTest();
    if (m_rubberBand != nullptr && m_rubberBand->isVisible()) {
        m_rubberBand->hide();
        m_widget->setGeometry(m_rubberBand->geometry());
    }
}

void FramelessWidgetState::mouseMove(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    if (!m_leftButtonHeld) {
        if (m_helper->isResizable()) {
            updateCursor(global);
        }
        return;
    }
    // A maximised window keeps its geometry even if its owner left the flags on.
    if (FrameGeometry::geometryLocked(m_widget->windowState())) {
        return;
    }
    if (m_helper->isResizable() && m_pressHit.onEdges) {
        resizeTo(global);
    } else if (m_helper->isMovable() && m_cursorInMoveBand) {
        moveTo(global);
    }
}

void FramelessWidgetState::updateCursor(const QPoint& globalPoint)
{
    if (FrameGeometry::geometryLocked(m_widget->windowState())) {
        clearCursor();
        return;
    }
    m_hoverHit = FrameGeometry::hitTest(m_widget->frameGeometry(), globalPoint, NcFramelessHelper::resizeMargin());
    const Qt::CursorShape shape = FrameGeometry::cursorFor(m_hoverHit);
    if (shape == Qt::ArrowCursor) {
        clearCursor();
        return;
    }
    m_widget->setCursor(shape);
    m_cursorOverridden = true;
}

void FramelessWidgetState::clearCursor()
{
    if (m_cursorOverridden) {
        m_widget->unsetCursor();
        m_cursorOverridden = false;
    }
}

void FramelessWidgetState::resizeTo(const QPoint& globalPoint)
{
    const bool useBand = m_helper->rubberBandOnResize() && m_rubberBand != nullptr;
    const QRect start = useBand ? m_rubberBand->geometry() : m_widget->frameGeometry();
    const QRect rect = FrameGeometry::resized(start, m_pressHit, globalPoint, m_widget->minimumSize());
    if (rect == start) {
        return;
    }
    if (useBand) {
        m_rubberBand->setGeometry(rect);
    } else {
        m_widget->setGeometry(rect);
    }
}

void FramelessWidgetState::moveTo(const QPoint& globalPoint)
{
    const QPoint topLeft = globalPoint - m_dragOffset;
    if (m_helper->rubberBandOnMove() && m_rubberBand != nullptr) {
        m_rubberBand->move(topLeft);
    } else {
        m_widget->move(topLeft);
    }
}
