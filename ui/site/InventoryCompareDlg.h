#pragma once

#include "CustomDialog.h"
#include "Inventory.h"

#include <vector>

class QMXLabel;
class QMXPushButton;
class VistaTreeWidget;

// The differences between a saved inventory and the devices found now, beside the list whose
// rows carry the same marks; closing it ends the comparison.
class InventoryCompareDlg : public CustomDialog
{
    Q_OBJECT

public:
    InventoryCompareDlg(const QString& fileName,
                        const std::vector<InventoryDifference>& differences,
                        QWidget* parent = nullptr);

    // The colour that marks a kind of difference, here and in the list.
    static QColor markColour(InventoryChange kind);
    // A dot of that colour, for the name cell of a marked row.
    static QIcon markIcon(InventoryChange kind);
    // "missing", "new", "changed: address, version" in the loaded language.
    static QString describe(const InventoryDifference& difference);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QMXLabel* m_summary;
    VistaTreeWidget* m_table;
    QMXPushButton* m_close;
};
