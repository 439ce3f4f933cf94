#pragma once

#include <QTreeWidget>

// The device list's tree: dark alternating rows, whole-row selection drawn from the skin's
// row images, and check states that follow their parents and children.
class VistaTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit VistaTreeWidget(QWidget* parent = nullptr);

    bool columnLines() const;
    void setColumnLines(bool on);

signals:
    void clicked(int row, int column);

public slots:
    void updateGeometries() override;

private slots:
    void slot_itemChanged(QTreeWidgetItem* item, int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    bool m_columnLines = false;
    bool m_cellButtonPressed = false;
    int m_hoverRow = -1;
    int m_hoverColumn = -1;
};
