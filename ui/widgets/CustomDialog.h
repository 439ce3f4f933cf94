#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QMXButton;

// A fixed, dark frameless dialog: a 28-pixel title bar with the title and a close button,
// a 28-pixel bottom bar for the derived dialog's buttons, and dragging by the title bar.
class CustomDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void setTitle(const QString& text);
    QString title() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFrame* m_titleBar;
    QLabel* m_titleLabel;
    QMXButton* m_closeButton;
    QFrame* m_bottomBar;
    bool m_dragging = false;
    int m_dragX = 0;
    int m_dragY = 0;
};
