#pragma once

#include <QHash>
#include <QObject>

class FramelessWidgetState;
class QWidget;

// Gives frameless top-level widgets moving by a top band and resizing by their edges,
// with size cursors and an optional rubber band that commits the geometry on release.
class NcFramelessHelper : public QObject
{
    Q_OBJECT

public:
    explicit NcFramelessHelper(QObject* parent = nullptr);
    ~NcFramelessHelper() override;

    void attachTo(QWidget* widget);
    void detachFrom(QWidget* widget);

    void setMovable(bool movable);
    bool isMovable() const;
    void setResizable(bool resizable);
    bool isResizable() const;
    void setRubberBandOnResize(bool on);
    bool rubberBandOnResize() const;
    void setRubberBandOnMove(bool on);
    bool rubberBandOnMove() const;

    // One margin for every helper of the process; negative values are ignored.
    static void setResizeMargin(int margin);
    static int resizeMargin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void endGestures();
    void updateRubberBands();

    QHash<QWidget*, FramelessWidgetState*> m_states;
    bool m_movable = true;
    bool m_resizable = true;
    bool m_rubberBandOnResize = false;
    bool m_rubberBandOnMove = false;
};
