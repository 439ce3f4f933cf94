// The filter menus on the list header and the filter state that decides which of the known
// devices get rows.

#include "DeviceRowInfo.h"
#include "DeviceText.h"
#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "HeaderButton.h"
#include "IPFilterMenu.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "PortFilterMenu.h"
#include "VistaTreeWidgetItem.h"

#include <QAction>
#include <QActionGroup>

namespace {
constexpr quint32 kUnsetBound = 0xFFFFFFFFu;

// A dotted address as a host-order number, first octet most significant; anything but four
// decimal octets gives 0. Read strictly as decimal: the address editor keeps leading zeros
// ("192.168.1.010"), which a general address parser would take for octal (.8).
quint32 ipv4Number(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) {
        return 0;
    }
    quint32 number = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3) {
            return 0;
        }
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return 0;
            }
        }
        const uint octet = part.toUInt();
        if (octet > 255) {
            return 0;
        }
        number = (number << 8) | octet;
    }
    return number;
}

quint32 portNumber(const QString& text)
{
    bool isNumber = false;
    const uint value = text.toUInt(&isNumber);
    return isNumber ? value : 0;
}
} // namespace

void MainWindow::createFilterMenus()
{
    m_deviceTypeMenu = new DeviceTypeFilterMenu(1, this);
    m_deviceTypeGroup = m_deviceTypeMenu->actionGroup();
    m_deviceTypeButton->setMenu(m_deviceTypeMenu);
    connect(m_deviceTypeMenu, &QMenu::triggered, this, &MainWindow::slot_deviceTypeMenuTriggered);
    connect(m_deviceTypeMenu, &DeviceTypeFilterMenu::hide, m_header, &DeviceTreeHeaderView::slot_hide);
    connect(m_deviceTypeMenu, &DeviceTypeFilterMenu::show, m_header, &DeviceTreeHeaderView::slot_show);

    auto* ipMenu = new IPFilterMenu(VistaTreeWidgetItem::kIpColumn, this);
    ipMenu->setObjectName(QStringLiteral("ipFilterMenu"));
    m_ipButton->setMenu(ipMenu);
    connect(ipMenu, &RangeFilterMenu::filterChanged, this, &MainWindow::slot_ipaddressMenuTriggered);
    auto* portMenu = new PortFilterMenu(VistaTreeWidgetItem::kDataPortColumn, this);
    portMenu->setObjectName(QStringLiteral("portFilterMenu"));
    m_portButton->setMenu(portMenu);
    connect(portMenu, &RangeFilterMenu::filterChanged, this, &MainWindow::slot_portMenuTriggered);
    for (RangeFilterMenu* menu : {static_cast<RangeFilterMenu*>(ipMenu), static_cast<RangeFilterMenu*>(portMenu)}) {
        connect(menu, &RangeFilterMenu::filterCleared, this, &MainWindow::slot_filterCleared);
        connect(menu, qOverload<int>(&RangeFilterMenu::hide), m_header, &DeviceTreeHeaderView::slot_hide);
        connect(menu, qOverload<int>(&RangeFilterMenu::show), m_header, &DeviceTreeHeaderView::slot_show);
    }
}

// Which filter is on is kept apart from its values: a range ending at 255.255.255.255 has
// the unset marker as its bound, and the empty display name of an unknown type is a type
// that can be chosen. Neither may read as "no filter".
bool MainWindow::passesFilter(const DeviceRowInfo& record) const
{
    if (m_rangeFilterOn) {
        const quint32 value =
            m_rangeKind == RangeIp ? ipv4Number(record.ipAddress) : static_cast<quint32>(record.dataPort);
        return value >= m_rangeLow && value <= m_rangeHigh;
    }
    return !m_typeFilterOn || m_typeFilter == DeviceText::deviceTypeName(record.deviceType);
}

void MainWindow::slot_deviceTypeMenuTriggered(QAction* action)
{
    const QString typeName = action->text();
    if (typeName == getText("IDCS_ALL_DEVICE")) {
        slot_filterCleared();
        return;
    }
    const bool hadTypeFilter = m_typeFilterOn;
    const QString previousType = m_typeFilter;
    m_rangeFilterOn = false;
    m_rangeLow = kUnsetBound;
    m_rangeHigh = kUnsetBound;
    m_typeFilterOn = true;
    m_typeFilter = typeName;
    applyFilterChange(hadTypeFilter, previousType);
}

void MainWindow::slot_ipaddressMenuTriggered(QString minAddres, QString maxAddres)
{
    setRangeFilter(RangeIp, ipv4Number(minAddres), ipv4Number(maxAddres));
}

void MainWindow::slot_filterCleared()
{
    const bool hadTypeFilter = m_typeFilterOn;
    const QString previousType = m_typeFilter;
    m_rangeFilterOn = false;
    m_rangeLow = kUnsetBound;
    m_rangeHigh = kUnsetBound;
    m_typeFilterOn = false;
    m_typeFilter.clear();
    applyFilterChange(hadTypeFilter, previousType);
}

void MainWindow::slot_portMenuTriggered(QString minPort, QString maxPort)
{
    setRangeFilter(RangeDataPort, portNumber(minPort), portNumber(maxPort));
}

void MainWindow::setRangeFilter(RangeKind kind, quint32 low, quint32 high)
{
    const bool hadTypeFilter = m_typeFilterOn;
    const QString previousType = m_typeFilter;
    m_typeFilterOn = false;
    m_typeFilter.clear();
    m_rangeFilterOn = true;
    m_rangeKind = kind;
    m_rangeLow = low;
    m_rangeHigh = high;
    applyFilterChange(hadTypeFilter, previousType);
}

// The entry of a type filter stays in the menu while that filter is on, even once its last
// device has gone; when the filter goes, an entry no device holds goes with it.
void MainWindow::applyFilterChange(bool hadTypeFilter, const QString& previousType)
{
    const bool sameType = m_typeFilterOn && m_typeFilter == previousType;
    if (hadTypeFilter && !sameType && m_deviceRecords.countOfTypeName(previousType) == 0) {
        m_deviceTypeMenu->removeTypeEntry(previousType);
    }
    markActiveFilter();
    repopulateRows();
}

bool MainWindow::isFilterOn() const
{
    return m_typeFilterOn || m_rangeFilterOn;
}

void MainWindow::markActiveFilter()
{
    const bool ipOn = m_rangeFilterOn && m_rangeKind == RangeIp;
    const bool portOn = m_rangeFilterOn && m_rangeKind == RangeDataPort;
    m_deviceTypeButton->setFilterActive(m_typeFilterOn);
    m_ipButton->setFilterActive(ipOn);
    m_portButton->setFilterActive(portOn);
    int section = -1;
    if (m_typeFilterOn) {
        section = 1;
    } else if (ipOn) {
        section = VistaTreeWidgetItem::kIpColumn;
    } else if (portOn) {
        section = VistaTreeWidgetItem::kDataPortColumn;
    }
    m_header->setActiveFilterSection(section);
}
