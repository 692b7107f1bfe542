#pragma once

#include "options/ControlState.h"

#include <QStringList>

namespace options {

//! A pick-only drop-down list: fixed items and the index of the chosen one.
class ListState : public ControlState {
    Q_OBJECT
public:
    ListState(const QString& name, const QStringList& items, int listIndex = -1, QObject* parent = nullptr);

    const QStringList& items() const { return m_items; }
    int ListCount() const { return int(m_items.size()); }
    //! Zero-based index of the chosen item; -1 when none is chosen.
    int ListIndex() const { return m_listIndex; }
    //! Chooses item `index` (-1 chooses none). An index outside the list is
    //! refused: false, and the choice stays as it was.
    bool setListIndex(int index);
    //! The text of the chosen item; empty when none is chosen.
    QString Text() const;
    //! Replaces the items; none is chosen afterwards.
    void setItems(const QStringList& items);

Q_SIGNALS:
    void itemsChanged();
    void listIndexChanged(int index);

private:
    QStringList m_items;
    int m_listIndex = -1;
};

} // namespace options
