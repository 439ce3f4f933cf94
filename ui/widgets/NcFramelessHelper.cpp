#include "NcFramelessHelper.h"

#include "FramelessWidgetState.h"

#include <QWidget>

namespace {
int g_resizeMargin = 5;
} // namespace

NcFramelessHelper::NcFramelessHelper(QObject* parent)
    : QObject(parent)
{}

NcFramelessHelper::~NcFramelessHelper()
{
    const QList<QWidget*> widgets = m_states.keys();
    for (QWidget* widget : widgets) {
        detachFrom(widget);
    }
}

void NcFramelessHelper::attachTo(QWidget* widget)
{
    if (widget == nullptr || m_states.contains(widget)) {
        return;
    }
    m_states.insert(widget, new FramelessWidgetState(this, widget));
    widget->installEventFilter(this);
    // A widget destroyed while attached must not leave a dangling state behind.
    connect(widget, &QObject::destroyed, this, [this, widget]() { delete m_states.take(widget); });
}

void NcFramelessHelper::detachFrom(QWidget* widget)
{
    FramelessWidgetState* state = m_states.take(widget);
    if (state == nullptr) {
        return;
    }
    disconnect(widget, &QObject::destroyed, this, nullptr);
    widget->removeEventFilter(this);
    state->restoreWidget();
    delete state;
}

void NcFramelessHelper::setMovable(bool movable)
{
    m_movable = movable;
    if (!movable) {
        endGestures();
    }
}

bool NcFramelessHelper::isMovable() const
{
    return m_movable;
}

void NcFramelessHelper::setResizable(bool resizable)
{
    m_resizable = resizable;
    if (!resizable) {
        endGestures();
    }
}

bool NcFramelessHelper::isResizable() const
{
    return m_resizable;
}

void NcFramelessHelper::setRubberBandOnResize(bool on)
{
    m_rubberBandOnResize = on;
    updateRubberBands();
}

bool NcFramelessHelper::rubberBandOnResize() const
{
    return m_rubberBandOnResize;
}

void NcFramelessHelper::setRubberBandOnMove(bool on)
{
    m_rubberBandOnMove = on;
    updateRubberBands();
}

bool NcFramelessHelper::rubberBandOnMove() const
{
    return m_rubberBandOnMove;
}

void NcFramelessHelper::setResizeMargin(int margin)
{
    if (margin >= 0) {
        g_resizeMargin = margin;
    }
}

int NcFramelessHelper::resizeMargin()
{
    return g_resizeMargin;
}

bool NcFramelessHelper::eventFilter(QObject* watched, QEvent* event)
{
    if (FramelessWidgetState* state = m_states.value(static_cast<QWidget*>(watched), nullptr)) {
        state->handleEvent(event);
    }
    return QObject::eventFilter(watched, event);
}

// A size cursor or rubber band shown before the switch would otherwise stay over a window
// that can no longer be resized (for example one that was just maximised).
void NcFramelessHelper::endGestures()
{
    for (FramelessWidgetState* state : std::as_const(m_states)) {
        state->cancelGesture();
    }
}

void NcFramelessHelper::updateRubberBands()
{
    const bool wanted = m_rubberBandOnResize || m_rubberBandOnMove;
    for (FramelessWidgetState* state : std::as_const(m_states)) {
        state->setRubberBandWanted(wanted);
    }
}
