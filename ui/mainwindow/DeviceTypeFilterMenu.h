#pragma once

#include "ButtonMenu.h"

class QActionGroup;

// The device-type filter under the header button of the type column: "all devices" first,
// then one checkable entry per device type met so far.
class DeviceTypeFilterMenu : public ButtonMenu
{
    Q_OBJECT

public:
    DeviceTypeFilterMenu(int column, QWidget* parent = nullptr);

    int column() const;
    QActionGroup* actionGroup() const;
    // The entry with exactly this text, or null.
    QAction* entry(const QString& text) const;
    // Appends a checkable entry unless one has this text already.
    void addTypeEntry(const QString& text);
    void removeTypeEntry(const QString& text);

signals:
    void hide(int index);
    void show(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_column;
    QActionGroup* m_group;
};
