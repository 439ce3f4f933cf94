#pragma once

#include <QTreeWidgetItem>

// A list row that sorts IPv4 addresses by their numbers and the data port as a number.
class VistaTreeWidgetItem : public QTreeWidgetItem
{
public:
    VistaTreeWidgetItem();

    bool operator<(const QTreeWidgetItem& other) const override;

    // The order of two texts of a column: IPv4-aware for the IP address, numeric for the data port.
    static bool lessThan(int column, const QString& left, const QString& right);

    static constexpr int kIpColumn = 3;
    static constexpr int kDataPortColumn = 5;
};
