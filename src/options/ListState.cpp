#include "options/ListState.h"

namespace options {

ListState::ListState(const QString& name, const QStringList& items, int listIndex, QObject* parent)
    : ControlState(name, parent), m_items(items),
      m_listIndex(listIndex >= 0 && listIndex < items.size() ? listIndex : -1)
{
}

bool ListState::setListIndex(int index)
{
    if (index < -1 || index >= ListCount())
        return false;
    if (m_listIndex != index) {
        m_listIndex = index;
        Q_EMIT listIndexChanged(m_listIndex);
    }
    return true;
}

QString ListState::Text() const
{
    return m_listIndex < 0 ? QString() : m_items.at(m_listIndex);
}

void ListState::setItems(const QStringList& items)
{
    const bool hadChoice = m_listIndex >= 0;
    m_items = items;
    m_listIndex = -1;
    Q_EMIT itemsChanged();
    if (hadChoice)
        Q_EMIT listIndexChanged(m_listIndex);
}

} // namespace options
