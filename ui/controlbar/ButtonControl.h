#pragma once

#include "QMXLabel.h"

#include <QString>

// A section header of the control bar: caption and arrow; a completed left click folds the
// section in or out. The three looks (rest, hover, pressed) are style sheets and frames of
// the arrow strip, switched by the pointer events.
class ButtonControl : public QMXLabel
{
    Q_OBJECT

public:
    ButtonControl(const QString& caption, QWidget* parent = nullptr);

    // Sets the state and the arrow without emitting clicked().
    void setExpanded(bool expanded);
    bool isExpanded() const;

signals:
    void clicked(bool expanded);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Space or Enter folds the section as a click does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Folds or unfolds the section, shows the given look and tells the bar.
    void toggle(const char* style);
    // A state's look with the keyboard focus mark added.
    void applyStyle(const char* style);
    // Shows one frame of the arrow strip, given by its border-image slice.
    void showArrowFrame(const char* slice);
    void setArrowPath(bool expanded);

    QMXLabel* m_caption;
    QMXLabel* m_arrow;
    QString m_arrowPath;
    bool m_expanded;
};
