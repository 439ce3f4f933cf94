#pragma once

#include <QDialog>

class QFrame;

// A frameless dialog with a translucent background whose visible edge is drawn from eight
// border images around a black body; derived windows put their content on the body.
class BaseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BaseDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    QWidget* contentWidget() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_content;
    QFrame* m_top;
    QFrame* m_bottom;
    QFrame* m_left;
    QFrame* m_right;
    QFrame* m_topLeft;
    QFrame* m_topRight;
    QFrame* m_bottomLeft;
    QFrame* m_bottomRight;
};
