#include "DeviceRecords.h"

#include "DeviceRowInfo.h"
#include "DeviceText.h"

DeviceRecords::DeviceRecords() = default;

DeviceRecords::~DeviceRecords() = default;

void DeviceRecords::append(DeviceRowInfo* record)
{
    m_records.emplace_back(record);
    m_byMac.insert(record->mac, std::prev(m_records.end()));
    countType(*record, 1);
}

bool DeviceRecords::remove(const QString& mac)
{
    const auto it = m_byMac.find(mac);
    if (it == m_byMac.end()) {
        return false;
    }
    // The record goes last: mac may be the record's own text.
    const List::iterator record = it.value();
    m_rows.remove(mac);
    m_byMac.erase(it);
    countType(**record, -1);
    m_records.erase(record);
    return true;
}

void DeviceRecords::clear()
{
    m_rows.clear();
    m_byMac.clear();
    m_typeCounts.clear();
    m_records.clear();
}

DeviceRowInfo* DeviceRecords::find(const QString& mac) const
{
    const auto it = m_byMac.constFind(mac);
    return it == m_byMac.constEnd() ? nullptr : it.value()->get();
}

int DeviceRecords::size() const
{
    return static_cast<int>(m_byMac.size());
}

int DeviceRecords::countOfTypeName(const QString& typeName) const
{
    return m_typeCounts.value(typeName, 0);
}

void DeviceRecords::update(DeviceRowInfo* record, const DeviceRowInfo& source)
{
    countType(*record, -1);
    *record = source;
    countType(*record, 1);
}

QTreeWidgetItem* DeviceRecords::row(const QString& mac) const
{
    return m_rows.value(mac, nullptr);
}

void DeviceRecords::setRow(const QString& mac, QTreeWidgetItem* row)
{
    m_rows.insert(mac, row);
}

void DeviceRecords::forgetRow(const QString& mac)
{
    m_rows.remove(mac);
}

void DeviceRecords::forgetRows()
{
    m_rows.clear();
}

DeviceRecords::List::const_iterator DeviceRecords::begin() const
{
    return m_records.cbegin();
}

DeviceRecords::List::const_iterator DeviceRecords::end() const
{
    return m_records.cend();
}

// Counted by display name, since the type menu holds display names.
void DeviceRecords::countType(const DeviceRowInfo& record, int delta)
{
    const QString name = DeviceText::deviceTypeName(record.deviceType);
    const int count = m_typeCounts.value(name, 0) + delta;
    if (count > 0) {
        m_typeCounts.insert(name, count);
    } else {
        m_typeCounts.remove(name);
    }
}
