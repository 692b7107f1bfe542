#include "controls/PropertyBag.h"

namespace controls {

QVariant PropertyBag::read(const QString& name, const QVariant& defaultValue) const
{
    return find(name).value_or(defaultValue);
}

void PropertyBag::write(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    if (value == defaultValue)
        erase(name);
    else
        store(name, value);
}

} // namespace controls
