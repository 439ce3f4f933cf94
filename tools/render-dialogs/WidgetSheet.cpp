#include "WidgetSheet.h"

#include "CheckBoxHeaderView.h"
#include "HeaderButton.h"
#include "IconButton.h"
#include "LanguageSrc.h"
#include "PortLineEdit.h"
#include "QMXCheckBox.h"
#include "QMXLabel.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"
#include "ToolButton.h"
#include "VistaTreeWidget.h"

#include <QApplication>
#include <QHoverEvent>
#include <QTreeWidgetItem>

WidgetSheet::WidgetSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("widgetSheet"));
    setStyleSheet(QStringLiteral("#widgetSheet { background: rgb(23, 24, 28); }"));
    setAttribute(Qt::WA_StyledBackground);
    resize(760, 420);

    auto* label = new QMXLabel(getText("IDCS_IP_ADDRESS"), this);
    label->setGeometry(20, 20, 120, 26);
    auto* edit = new QMXLineEdit(QStringLiteral("192.168.1.64"), this);
    edit->setGeometry(140, 20, 160, 26);
    auto* port = new PortLineEdit(this);
    port->setText(QStringLiteral("8000"));
    port->setGeometry(310, 20, 80, 26);
    auto* disabled = new QMXLineEdit(QStringLiteral("255.255.255.0"), this);
    disabled->setEnabled(false);
    disabled->setGeometry(400, 20, 160, 26);

    auto* save = new QMXPushButton(getText("IDCS_SAVE"), this);
    save->setGeometry(20, 60, 90, 26);
    auto* cancel = new QMXPushButton(getText("IDCS_CANCEL"), this);
    cancel->setEnabled(false);
    cancel->setGeometry(120, 60, 90, 26);
    auto* check = new QMXCheckBox(getText("IDCS_AUTO_REFRESH_BY_5S"), this);
    check->setChecked(true);
    check->setGeometry(230, 60, 200, 26);
    auto* refresh = new ToolButton(getText("IDCS_MANUAL_REFRESH"), true, this);
    refresh->setGeometry(440, 60, 150, 28);
    auto* toggle = new IconButton(QStringLiteral(":/skin/divide_open.png"), this);
    toggle->setGeometry(600, 60, 30, 24);

    auto* tree = new VistaTreeWidget(this);
    m_tree = tree;
    auto* header = new CheckBoxHeaderView(Qt::Horizontal, nullptr, tree);
    tree->setHeader(header);
    tree->setHeaderLabels({getText("IDCS_DEVICE_NAME"),
                           getText("IDCS_DEVICE_TYPE"),
                           getText("IDCS_IP_ADDRESS"),
                           getText("IDCS_DATA_PORT")});
    tree->setColumnLines(true);
    tree->setGeometry(20, 110, 720, 290);
    header->resizeSection(0, 200);
    header->resizeSection(1, 160);
    header->resizeSection(2, 160);
    auto* filter = new HeaderButton(header);
    header->setSectionWidget(1, filter, CheckBoxHeaderView::PlaceRight);
    filter->show();
    const char* const types[] = {"IDCS_QMX_IPC", "IDCS_QMX_NVR", "IDCS_QMX_DECODER", "IDCS_QMX_STORAGE"};
    for (int i = 0; i < 4; ++i) {
        auto* item = new QTreeWidgetItem(tree,
                                         {QStringLiteral("QMX-Device-%1").arg(i + 1),
                                          getText(types[i]),
                                          QStringLiteral("192.168.1.%1").arg(64 + i),
                                          QStringLiteral("%1").arg(6036 + i)});
        item->setCheckState(0, i == 1 ? Qt::Checked : Qt::Unchecked);
        item->setTextAlignment(1, Qt::AlignCenter);
        item->setTextAlignment(2, Qt::AlignCenter);
        item->setTextAlignment(3, Qt::AlignCenter);
    }
    tree->setCurrentItem(tree->topLevelItem(1));
}

void WidgetSheet::hoverRow(int row)
{
    QTreeWidgetItem* item = m_tree->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    const QPointF at(m_tree->visualItemRect(item).center());
    QHoverEvent enter(QEvent::HoverEnter, at, at, QPointF(-1, -1));
    QApplication::sendEvent(m_tree->viewport(), &enter);
    QHoverEvent move(QEvent::HoverMove, at, at, QPointF(-1, -1));
    QApplication::sendEvent(m_tree->viewport(), &move);
}
