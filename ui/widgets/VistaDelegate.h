#pragma once

#include <QStyledItemDelegate>

class QTreeView;

// Paints a list row's background from the skin's three-piece row images (selected, selected
// in an inactive window, under the mouse), then the cell's check box and text on top.
class VistaDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit VistaDelegate(QTreeView* view, QObject* parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void
    updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A cell's own tooltip shows as usual; a cell without one whose text is elided shows its
    // whole text, and any other cell shows none.
    bool helpEvent(QHelpEvent* event,
                   QAbstractItemView* view,
                   const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    // Whether the cell's text is too wide for its cell and is painted elided.
    bool isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    static constexpr int kCapWidth = 14;
    static constexpr int kCapInset = 7;

private:
    void paintRowBackground(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    int firstVisibleColumn() const;
    int lastVisibleColumn() const;

    QTreeView* m_view;
};
