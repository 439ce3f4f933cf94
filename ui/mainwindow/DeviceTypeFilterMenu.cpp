#include "DeviceTypeFilterMenu.h"

#include "LanguageSrc.h"

#include <QActionGroup>

DeviceTypeFilterMenu::DeviceTypeFilterMenu(int column, QWidget* parent)
    : ButtonMenu(parent)
    , m_column(column)
    , m_group(new QActionGroup(this))
{
    setObjectName(QStringLiteral("deviceTypeFilterMenu"));
    m_group->setExclusive(true);
    QAction* all = addAction(getText("IDCS_ALL_DEVICE"));
    all->setCheckable(true);
    all->setChecked(true);
    m_group->addAction(all);
}

int DeviceTypeFilterMenu::column() const
{
    return m_column;
}

QActionGroup* DeviceTypeFilterMenu::actionGroup() const
{
    return m_group;
}

QAction* DeviceTypeFilterMenu::entry(const QString& text) const
{
    const QList<QAction*> entries = actions();
    for (QAction* action : entries) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

void DeviceTypeFilterMenu::addTypeEntry(const QString& text)
{
    if (entry(text) != nullptr) {
        return;
    }
    QAction* action = addAction(text);
    action->setCheckable(true);
    m_group->addAction(action);
}

void DeviceTypeFilterMenu::removeTypeEntry(const QString& text)
{
    if (QAction* action = entry(text)) {
        m_group->removeAction(action);
        removeAction(action);
        delete action;
    }
}

void DeviceTypeFilterMenu::showEvent(QShowEvent* event)
{
    ButtonMenu::showEvent(event);
    emit show(m_column);
}

void DeviceTypeFilterMenu::hideEvent(QHideEvent* event)
{
    ButtonMenu::hideEvent(event);
    emit hide(m_column);
}
