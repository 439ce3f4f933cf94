#include "DeviceTypeFilterMenu.h"

#include "LanguageSrc.h"

#include <QAction>
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

// "All devices" stays first; the types follow in the alphabetical order of their names in
// the loaded language, wherever they were met first.
void DeviceTypeFilterMenu::addTypeEntry(const QString& text)
{
    if (entry(text) != nullptr) {
        return;
    }
    auto* action = new QAction(text, this);
    action->setCheckable(true);
    const QList<QAction*> entries = actions();
    QAction* before = nullptr;
    for (int i = 1; i < entries.size() && before == nullptr; ++i) {
        if (QString::localeAwareCompare(text, entries.at(i)->text()) < 0) {
            before = entries.at(i);
        }
    }
    insertAction(before, action);
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
