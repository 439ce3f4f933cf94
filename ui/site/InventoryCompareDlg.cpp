#include "InventoryCompareDlg.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"
#include "QMXPushButton.h"
#include "VistaTreeWidget.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

QString text(const std::string& value)
{
    return QString::fromUtf8(value.data(), static_cast<int>(value.size()));
}

} // namespace

InventoryCompareDlg::InventoryCompareDlg(const QString& fileName,
                                         const std::vector<InventoryDifference>& differences,
                                         QWidget* parent)
    : CustomDialog(parent)
{
    setObjectName(QStringLiteral("inventoryCompareDialog"));
    setTitle(getText("IDCS_COMPARE_TITLE"));
    int counts[3] = {0, 0, 0};
    m_table = new VistaTreeWidget(this);
    m_table->setObjectName(QStringLiteral("differences"));
    m_table->setRootIsDecorated(false);
    m_table->setHeaderLabels({getText("IDCS_COMPARE_CHANGE"),
                              getText("IDCS_DEVICE_NAME"),
                              getText("IDCS_MAC_ADDRESS"),
                              getText("IDCS_COMPARE_SAVED_IP"),
                              getText("IDCS_IP_ADDRESS"),
                              getText("IDCS_COMPARE_SAVED_VERSION"),
                              getText("IDCS_SOFT_VERSION")});
    for (const InventoryDifference& d : differences) {
        ++counts[static_cast<int>(d.kind)];
        const InventoryDevice& shown = d.kind == InventoryChange::Missing ? d.saved : d.live;
        auto* item = new QTreeWidgetItem(m_table);
        item->setText(0, describe(d));
        item->setIcon(0, markIcon(d.kind));
        item->setForeground(0, markColour(d.kind));
        item->setText(1, text(shown.name));
        item->setText(2, text(shown.mac));
        item->setText(3, text(d.saved.ip));
        item->setText(4, text(d.live.ip));
        item->setText(5, text(d.saved.softwareVersion));
        item->setText(6, text(d.live.softwareVersion));
    }
    // Every heading and text whole, whatever the language; the list scrolls sideways if need be.
    m_table->header()->resizeSections(QHeaderView::ResizeToContents);
    for (int column = 0; column < m_table->columnCount(); ++column) {
        m_table->header()->resizeSection(column, m_table->header()->sectionSize(column) + 16);
    }
    m_summary = new QMXLabel(getText("IDCS_COMPARE_SUMMARY")
                                 .arg(QFileInfo(fileName).fileName())
                                 .arg(counts[0])
                                 .arg(counts[1])
                                 .arg(counts[2]),
                             this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_close = new QMXPushButton(getText("IDCS_CLOSE_COMPARISON"), this);
    m_close->setObjectName(QStringLiteral("closeComparison"));
    connect(m_close, &QAbstractButton::clicked, this, &QDialog::reject);
    resize(860, 420);
}

QColor InventoryCompareDlg::markColour(InventoryChange kind)
{
    switch (kind) {
    case InventoryChange::Missing:
        return QColor(232, 96, 86);
    case InventoryChange::New:
        return QColor(96, 196, 120);
    default:
        return QColor(236, 180, 60);
    }
}

QIcon InventoryCompareDlg::markIcon(InventoryChange kind)
{
    QPixmap dot(10, 10);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(markColour(kind));
    painter.drawEllipse(QRectF(1, 1, 8, 8));
    painter.end();
    return QIcon(dot);
}

QString InventoryCompareDlg::describe(const InventoryDifference& difference)
{
    switch (difference.kind) {
    case InventoryChange::Missing:
        return getText("IDCS_COMPARE_MISSING");
    case InventoryChange::New:
        return getText("IDCS_COMPARE_NEW");
    default: {
        QStringList what;
        if (difference.addressChanged) {
            what << getText("IDCS_IP_ADDRESS");
        }
        if (difference.versionChanged) {
            what << getText("IDCS_SOFT_VERSION");
        }
        return getText("IDCS_COMPARE_CHANGED").arg(what.join(QStringLiteral(", ")));
    }
    }
}

void InventoryCompareDlg::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_summary->setGeometry(14, 36, w - 28, 40);
    m_table->setGeometry(14, 80, w - 28, h - 120);
    const int closeWidth = m_close->fontMetrics().horizontalAdvance(m_close->text()) + 32;
    m_close->setGeometry(w - 10 - closeWidth, h - 27, closeWidth, 23);
}
