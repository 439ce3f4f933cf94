#pragma once

#include "FrameGeometry.h"

#include <QPoint>
#include <Qt>

class NcFramelessHelper;
class QEvent;
class QMouseEvent;
class QRubberBand;
class QWidget;

// The moving and resizing state of one widget attached to an NcFramelessHelper.
class FramelessWidgetState
{
public:
    FramelessWidgetState(NcFramelessHelper* helper, QWidget* widget);
    ~FramelessWidgetState();
    FramelessWidgetState(const FramelessWidgetState&) = delete;
    FramelessWidgetState& operator=(const FramelessWidgetState&) = delete;

    // Puts the widget back as it was before it was attached.
    void restoreWidget();
    void setRubberBandWanted(bool wanted);
    void handleEvent(QEvent* event);
    // Drops the size cursor and hides the rubber band without applying it.
    void cancelGesture();

private:
    void mousePress(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void updateCursor(const QPoint& globalPoint);
    void clearCursor();
    void resizeTo(const QPoint& globalPoint);
    void moveTo(const QPoint& globalPoint);

    NcFramelessHelper* m_helper;
    QRubberBand* m_rubberBand = nullptr;
    bool m_leftButtonHeld = false;
    QWidget* m_widget;
    QPoint m_dragOffset;
    EdgeHitTest m_pressHit;
    EdgeHitTest m_hoverHit;
    Qt::WindowFlags m_originalFlags;
    bool m_wasVisible = false;
    bool m_cursorOverridden = false;
    bool m_cursorInMoveBand = false;
};
