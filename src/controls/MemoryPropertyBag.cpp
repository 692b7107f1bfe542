#include "controls/MemoryPropertyBag.h"

namespace controls {

std::optional<QVariant> MemoryPropertyBag::find(const QString& name) const
{
    const auto it = mValues.constFind(name);
    if (it == mValues.constEnd())
        return std::nullopt;
    return *it;
}

void MemoryPropertyBag::store(const QString& name, const QVariant& value)
{
    mValues.insert(name, value);
}

void MemoryPropertyBag::erase(const QString& name)
{
    mValues.remove(name);
}

} // namespace controls
