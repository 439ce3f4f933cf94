#pragma once

#include "ButtonMenu.h"

class QMXCheckBox;
class QMXLabel;
class QMXPushButton;

// The drop-down form behind the IP and data-port header buttons: a filter-condition
// check box enabling a from and a to field, OK and Cancel. The two filters differ only
// in their field widgets and label texts, which the subclasses supply.
class RangeFilterMenu : public ButtonMenu
{
    Q_OBJECT

public:
    // index: the list column whose header button carries this menu.
    RangeFilterMenu(int index, const char* startKey, const char* endKey, QWidget* parent);
    // The show(int) / hide(int) signals would otherwise hide the widget's own show() and hide().
    using ButtonMenu::hide;
    using ButtonMenu::show;

signals:
    // show(int) / hide(int) tell the list header which section's button must stay visible.
    void hide(int index);
    void show(int index);
    void filterChanged(QString minimum, QString maximum);
    void filterCleared();

public slots:
    void slot_enter();
    void slot_toggled(bool checked);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Enter applies the form as OK does; Escape closes it as Cancel does.
    void keyPressEvent(QKeyEvent* event) override;
    // A menu moves Tab between its actions; this form has none, so Tab walks its fields.
    bool focusNextPrevChild(bool next) override;

    // Called once by the subclass constructor with its two fields (children of this menu).
    void setFields(QWidget* startField, QWidget* endField);
    virtual QString fieldText(const QWidget* field) const = 0;

private:
    void placeChildren();

    QMXCheckBox* m_checkBox;
    QMXLabel* m_startLabel;
    QWidget* m_startField = nullptr;
    QMXLabel* m_endLabel;
    QWidget* m_endField = nullptr;
    QMXPushButton* m_okButton;
    QMXPushButton* m_cancelButton;
    int m_index;
};
