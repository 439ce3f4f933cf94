// The device list's row menu and Ctrl+C: a row's MAC, IP address or whole row to the
// clipboard. Each group of entries is added by a function of its own.

#include "DeviceRowInfo.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "QMXMenu.h"
#include "VistaTreeWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QTreeWidgetItem>

namespace {

// Device texts go to the clipboard on one line each: a tab or line break of a device's name
// would split the row where it is pasted, and control characters have no business in a shell.
QString clipboardText(const QString& text)
{
    QString clean;
    for (const QChar c : text) {
        clean += c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ? QChar(' ') : c;
    }
    return clean;
}

void toClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

// The row under the pointer; for the menu key (or Shift+F10) the selected current row.
QTreeWidgetItem* MainWindow::menuRow(const QPoint& position) const
{
    QTreeWidgetItem* row = m_deviceList->itemAt(position);
    if (row == nullptr) {
        row = m_deviceList->currentItem();
        if (row != nullptr && !row->isSelected()) {
            row = nullptr;
        }
    }
    return row;
}

void MainWindow::slot_rowMenuRequested(const QPoint& position)
{
    QTreeWidgetItem* row = menuRow(position);
    if (recordOf(row) == nullptr) {
        return;
    }
    QMXMenu menu(this);
    menu.setObjectName(QStringLiteral("rowMenu"));
    addCopyEntries(&menu, row);
    menu.addSeparator();
    addActivateEntry(menu, *recordOf(row));
    menu.addSeparator();
    addSiteEntries(&menu);
    if (menu.isEmpty()) {
        return;
    }
    const QRect cell = m_deviceList->visualItemRect(row);
    const QPoint at = cell.contains(position) ? position : QPoint(cell.left() + 20, cell.bottom());
    menu.exec(m_deviceList->viewport()->mapToGlobal(at));
}

// The texts are taken now: while the menu is open a report may remove the row.
void MainWindow::addCopyEntries(QMenu* menu, QTreeWidgetItem* row)
{
    const DeviceRowInfo* record = recordOf(row);
    const QString mac = record->mac;
    const QString ip = record->ipAddress;
    const QString whole = rowText(row);
    menu->addAction(getText("IDCS_COPY_MAC_ADDRESS"), this, [mac]() { toClipboard(mac); });
    menu->addAction(getText("IDCS_COPY_IP_ADDRESS"), this, [ip]() { toClipboard(ip); });
    QAction* copyRow = menu->addAction(getText("IDCS_COPY_ROW"), this, [whole]() { toClipboard(whole); });
    copyRow->setShortcut(QKeySequence::Copy);
}

// The shown columns in the order the user sees them, separated by tabs.
QString MainWindow::rowText(const QTreeWidgetItem* row) const
{
    const QHeaderView* header = m_deviceList->header();
    QStringList cells;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column)) {
            cells << clipboardText(row->text(column));
        }
    }
    return cells.join(QLatin1Char('\t'));
}

bool MainWindow::copySelectedRow()
{
    QTreeWidgetItem* row = menuRow(QPoint(-1, -1));
    if (row == nullptr) {
        return false;
    }
    toClipboard(rowText(row));
    return true;
}
