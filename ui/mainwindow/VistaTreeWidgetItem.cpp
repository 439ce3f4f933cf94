#include "VistaTreeWidgetItem.h"

#include <QStringList>

VistaTreeWidgetItem::VistaTreeWidgetItem()
    : QTreeWidgetItem(QTreeWidgetItem::UserType)
{}

bool VistaTreeWidgetItem::operator<(const QTreeWidgetItem& other) const
{
    const QTreeWidget* tree = treeWidget();
    const int column = tree != nullptr ? tree->sortColumn() : 0;
    if (column != kIpColumn && column != kDataPortColumn) {
        return QTreeWidgetItem::operator<(other);
    }
    return lessThan(column, text(column), other.text(column));
}

bool VistaTreeWidgetItem::lessThan(int column, const QString& left, const QString& right)
{
    if (column == kDataPortColumn) {
        return left.toLongLong() < right.toLongLong();
    }
    if (column != kIpColumn) {
        return left < right;
    }
    const QStringList a = left.split(QLatin1Char('.'));
    const QStringList b = right.split(QLatin1Char('.'));
    if (a.size() != 4 || b.size() != 4) {
        return left < right;
    }
    for (int i = 0; i < 4; ++i) {
        const long long x = a.at(i).toLongLong();
        const long long y = b.at(i).toLongLong();
        if (x != y) {
            return x < y;
        }
    }
    return false;
}
