#include "RangeFilterMenu.h"

#include "LanguageSrc.h"
#include "QMXCheckBox.h"
#include "QMXLabel.h"
#include "QMXPushButton.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {
QRect inclusiveRect(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
} // namespace

RangeFilterMenu::RangeFilterMenu(int index, const char* startKey, const char* endKey, QWidget* parent)
    : ButtonMenu(parent)
    , m_checkBox(new QMXCheckBox(getText("IDCS_FILTER_CONDITION"), this))
    , m_startLabel(new QMXLabel(getText(startKey), this))
    , m_endLabel(new QMXLabel(getText(endKey), this))
    , m_okButton(new QMXPushButton(getText("IDCS_OK"), this))
    , m_cancelButton(new QMXPushButton(getText("IDCS_CANCEL"), this))
    , m_index(index)
{
    m_checkBox->setObjectName(QStringLiteral("filterCondition"));
    m_startLabel->setObjectName(QStringLiteral("startLabel"));
    m_endLabel->setObjectName(QStringLiteral("endLabel"));
    m_okButton->setObjectName(QStringLiteral("ok"));
    m_cancelButton->setObjectName(QStringLiteral("cancel"));
    setFixedSize(300, 155);

    connect(m_okButton, &QPushButton::clicked, this, &RangeFilterMenu::slot_enter);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_checkBox, &QCheckBox::toggled, this, &RangeFilterMenu::slot_toggled);
}

void RangeFilterMenu::setFields(QWidget* startField, QWidget* endField)
{
    m_startField = startField;
    m_endField = endField;
    m_startField->setObjectName(QStringLiteral("startField"));
    m_endField->setObjectName(QStringLiteral("endField"));
    // A screen reader announces each field by the label beside it.
    m_startLabel->setBuddy(m_startField);
    m_endLabel->setBuddy(m_endField);
    m_startField->setAccessibleName(m_startLabel->text());
    m_endField->setAccessibleName(m_endLabel->text());
    setTabOrder(m_checkBox, m_startField);
    setTabOrder(m_startField, m_endField);
    setTabOrder(m_endField, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    slot_toggled(m_checkBox->isChecked());
    placeChildren();
}

void RangeFilterMenu::slot_toggled(bool checked)
{
    m_startLabel->setEnabled(checked);
    m_endLabel->setEnabled(checked);
    if (m_startField != nullptr) {
        m_startField->setEnabled(checked);
        m_endField->setEnabled(checked);
    }
}

void RangeFilterMenu::slot_enter()
{
    if (m_checkBox->isChecked()) {
        emit filterChanged(fieldText(m_startField), fieldText(m_endField));
    } else {
        emit filterCleared();
    }
    close();
}

// A press on the form itself (its background, a label, a disabled field) must not
// close the panel the way a menu closes on a click beside its entries.
void RangeFilterMenu::mousePressEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint())) {
        event->accept();
        return;
    }
    ButtonMenu::mousePressEvent(event);
}

void RangeFilterMenu::resizeEvent(QResizeEvent* event)
{
    ButtonMenu::resizeEvent(event);
    placeChildren();
}

void RangeFilterMenu::placeChildren()
{
    m_checkBox->setGeometry(inclusiveRect(10, 10, 124, 35));
    m_startLabel->setGeometry(inclusiveRect(10, 45, 89, 70));
    m_endLabel->setGeometry(inclusiveRect(10, 80, 89, 105));
    if (m_startField != nullptr) {
        m_startField->setGeometry(inclusiveRect(90, 45, 289, 70));
        m_endField->setGeometry(inclusiveRect(90, 80, 289, 105));
    }
    m_okButton->setGeometry(inclusiveRect(130, 120, 199, 142));
    m_cancelButton->setGeometry(inclusiveRect(220, 120, 289, 142));
}

void RangeFilterMenu::showEvent(QShowEvent* event)
{
    ButtonMenu::showEvent(event);
    // Opened from the keyboard or the mouse alike, typing starts at the condition.
    m_checkBox->setFocus(Qt::PopupFocusReason);
    emit show(m_index);
}

void RangeFilterMenu::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        // A focused button does what it says; anywhere else Enter means OK.
        if (focusWidget() == m_cancelButton) {
            close();
        } else {
            slot_enter();
        }
        return;
    case Qt::Key_Escape:
        event->accept();
        close();
        return;
    default:
        ButtonMenu::keyPressEvent(event);
        return;
    }
}

void RangeFilterMenu::hideEvent(QHideEvent* event)
{
    ButtonMenu::hideEvent(event);
    emit hide(m_index);
}

bool RangeFilterMenu::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}
