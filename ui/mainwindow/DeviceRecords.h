#pragma once

#include <QHash>
#include <QString>

#include <list>
#include <memory>

struct DeviceRowInfo;
class QTreeWidgetItem;

// Every device the window knows, shown or filtered out, in the order they were found, with
// an index from MAC to record and to its row: a report finds its device in constant time,
// whatever the size of the fleet. The records are owned here.
class DeviceRecords
{
public:
    using List = std::list<std::unique_ptr<DeviceRowInfo>>;

    DeviceRecords();
    ~DeviceRecords();
    DeviceRecords(const DeviceRecords&) = delete;
    DeviceRecords& operator=(const DeviceRecords&) = delete;

    // Takes ownership; the MAC must not be held yet.
    void append(DeviceRowInfo* record);
    // Deletes the record of this MAC with its row entry; false when there is none.
    bool remove(const QString& mac);
    // Deletes every record and forgets every row.
    void clear();

    DeviceRowInfo* find(const QString& mac) const;
    int size() const;
    // Records whose type shows the display name typeName.
    int countOfTypeName(const QString& typeName) const;
    // Copies every field of source into the held record of the same MAC, keeping the type counts.
    void update(DeviceRowInfo* record, const DeviceRowInfo& source);

    // The row showing a MAC, or null.
    QTreeWidgetItem* row(const QString& mac) const;
    void setRow(const QString& mac, QTreeWidgetItem* row);
    void forgetRow(const QString& mac);
    // The rows were all deleted by the list.
    void forgetRows();

    List::const_iterator begin() const;
    List::const_iterator end() const;

private:
    void countType(const DeviceRowInfo& record, int delta);

    List m_records;
    QHash<QString, List::iterator> m_byMac;
    QHash<QString, QTreeWidgetItem*> m_rows;
    QHash<QString, int> m_typeCounts;
};
