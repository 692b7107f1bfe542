#include "options/OptionGroup.h"

#include "options/OptionButtonState.h"

namespace options {

OptionButtonState* OptionGroup::selected() const
{
    const int index = selectedIndex();
    return index < 0 ? nullptr : m_members.at(index);
}

int OptionGroup::selectedIndex() const
{
    for (int i = 0; i < m_members.size(); ++i)
        if (m_members.at(i)->Value())
            return i;
    return -1;
}

} // namespace options
