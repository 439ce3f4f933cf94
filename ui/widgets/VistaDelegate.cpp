#include "VistaDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QToolTip>
#include <QTreeView>

namespace {
struct RowImages
{
    const char* left;
    const char* middle;
    const char* right;
};

const RowImages kSelected{":/skin/tree_selected_l.png", ":/skin/tree_selected_m.png", ":/skin/tree_selected_r.png"};
const RowImages kSelectedInactive{
    ":/skin/tree_selected_!active_l.png", ":/skin/tree_selected_!active_m.png", ":/skin/tree_selected_!active_r.png"};
const RowImages kHover{":/skin/tree_hover_l.png", ":/skin/tree_hover_m.png", ":/skin/tree_hover_r.png"};

// Rows repaint on every mouse move; the cache keeps the images decoded once.
QPixmap skinPixmap(const char* path)
{
    QPixmap pixmap;
    const QString key = QString::fromLatin1(path);
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap.load(key);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}
} // namespace

VistaDelegate::VistaDelegate(QTreeView* view, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_view(view)
{}

QSize VistaDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QStyledItemDelegate::sizeHint(option, index);
}

void VistaDelegate::updateEditorGeometry(QWidget* editor,
                                         const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QRect rect = option.rect.adjusted(0, 2, -1, -2);
    if (index.column() == firstVisibleColumn()) {
        rect.setLeft(rect.left() + kCapInset);
    }
    if (index.column() == lastVisibleColumn()) {
        rect.setRight(rect.right() - kCapInset);
    }
    editor->setGeometry(rect);
}

void VistaDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    paintRowBackground(painter, option, index);
    // The row images are the whole selection and hover look; the style must not paint
    // its own highlight over them, but the text keeps the selected colour.
    QStyleOptionViewItem cell(option);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    cell.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
    if (selected) {
        cell.palette.setColor(QPalette::Text, Qt::white);
    }
    QStyledItemDelegate::paint(painter, cell, index);
}

bool VistaDelegate::helpEvent(QHelpEvent* event,
                              QAbstractItemView* view,
                              const QStyleOptionViewItem& option,
                              const QModelIndex& index)
{
    if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip || !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QString tip = index.data(Qt::ToolTipRole).toString();
    if (tip.isEmpty() && isElided(option, index)) {
        tip = index.data(Qt::DisplayRole).toString();
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    // Escaped inside a forced rich text: a device's name is shown, never read as markup.
    const QString html = tip.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"));
    QToolTip::showText(event->globalPos(), QStringLiteral("<qt>%1</qt>").arg(html), view, view->visualRect(index));
    return true;
}

bool VistaDelegate::isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    if (cell.text.isEmpty()) {
        return false;
    }
    const QWidget* widget = cell.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // The same room the style gives the text when it paints it elided.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &cell, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    return cell.fontMetrics.horizontalAdvance(cell.text) > textRect.width() - 2 * margin;
}

void VistaDelegate::paintRowBackground(QPainter* painter,
                                       const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    const RowImages* images = nullptr;
    if (option.state.testFlag(QStyle::State_Selected)) {
        images = option.state.testFlag(QStyle::State_Active) ? &kSelected : &kSelectedInactive;
    } else if (option.state.testFlag(QStyle::State_MouseOver)) {
        images = &kHover;
    }
    if (images == nullptr) {
        return;
    }
    const QRect rect = option.rect.adjusted(0, 1, 0, -1);
    const bool first = index.column() == firstVisibleColumn();
    const bool last = index.column() == lastVisibleColumn();
    int middleLeft = rect.left();
    int middleRight = rect.right();
    if (first) {
        const QRect cap(rect.left() + kCapInset, rect.top(), kCapWidth, rect.height());
        painter->drawPixmap(cap, skinPixmap(images->left));
        middleLeft = cap.right() + 1;
    }
    if (last) {
        const QRect cap(rect.right() - kCapInset - kCapWidth + 1, rect.top(), kCapWidth, rect.height());
        painter->drawPixmap(cap, skinPixmap(images->right));
        middleRight = cap.left() - 1;
    }
    // A cell too narrow for a cap and some middle shows its cap alone.
    if (middleRight >= middleLeft) {
        painter->drawPixmap(QRect(QPoint(middleLeft, rect.top()), QPoint(middleRight, rect.bottom())),
                            skinPixmap(images->middle));
    }
}

int VistaDelegate::firstVisibleColumn() const
{
    const QHeaderView* header = m_view->header();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical)) {
            return logical;
        }
    }
    return -1;
}

int VistaDelegate::lastVisibleColumn() const
{
    const QHeaderView* header = m_view->header();
    for (int visual = header->count() - 1; visual >= 0; --visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical)) {
            return logical;
        }
    }
    return -1;
}
