// The filter menus on the list header and the filter state that decides which of the known
// devices get rows.

#include "DeviceRowInfo.h"
#include "DeviceText.h"
#include "DeviceTreeHeaderView.h"
#include "DeviceTypeFilterMenu.h"
#include "HeaderButton.h"
#include "MainWindow.h"

#include <QActionGroup>

void MainWindow::createFilterMenus()
{
    m_deviceTypeMenu = new DeviceTypeFilterMenu(1, this);
    m_deviceTypeGroup = m_deviceTypeMenu->actionGroup();
    m_deviceTypeButton->setMenu(m_deviceTypeMenu);
    connect(m_deviceTypeMenu, &QMenu::triggered, this, &MainWindow::slot_deviceTypeMenuTriggered);
    connect(m_deviceTypeMenu, &DeviceTypeFilterMenu::hide, m_header, &DeviceTreeHeaderView::slot_hide);
    connect(m_deviceTypeMenu, &DeviceTypeFilterMenu::show, m_header, &DeviceTreeHeaderView::slot_show);
    // The address and port forms are attached to their header buttons by the filtering work.
}

bool MainWindow::passesFilter(const DeviceRowInfo& record) const
{
    const bool rangeOff = m_rangeLow == 0xFFFFFFFFu || m_rangeHigh == 0xFFFFFFFFu;
    if (rangeOff) {
        return m_typeFilter.isEmpty() || m_typeFilter == DeviceText::deviceTypeName(record.deviceType);
    }
    // The range tests come with the address and port filters.
    return true;
}

// Filled by the filtering work: it chooses the type, repopulates and keeps the count.
void MainWindow::slot_deviceTypeMenuTriggered(QAction* /*action*/)
{}

// Filled by the filtering work.
void MainWindow::slot_ipaddressMenuTriggered(QString /*minAddres*/, QString /*maxAddres*/)
{}

// Filled by the filtering work.
void MainWindow::slot_filterCleared()
{}

// Filled by the filtering work.
void MainWindow::slot_portMenuTriggered(QString /*minPort*/, QString /*maxPort*/)
{}
