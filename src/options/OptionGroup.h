#pragma once

#include <QList>

namespace options {

class OptionButtonState;

//! The option buttons of one container: at most one of them is on. Turning
//! one on turns the others off; turning the one that is on off leaves none on.
class OptionGroup {
public:
    OptionGroup() = default;
    OptionGroup(const OptionGroup&) = delete;
    OptionGroup& operator=(const OptionGroup&) = delete;

    //! The members in the order they joined.
    const QList<OptionButtonState*>& members() const { return m_members; }
    //! The option that is on, or null.
    OptionButtonState* selected() const;
    //! Position of the option that is on in members(), or -1.
    int selectedIndex() const;

private:
    friend class OptionButtonState;
    void add(OptionButtonState* member) { m_members.append(member); }
    void remove(OptionButtonState* member) { m_members.removeAll(member); }

    QList<OptionButtonState*> m_members;
};

} // namespace options
