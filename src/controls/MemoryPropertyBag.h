#pragma once

#include "controls/PropertyBag.h"

#include <QMap>
#include <QStringList>

namespace controls {

//! A property bag held in memory, for controls created in code and for
//! owners that copy the properties to a store of their own.
class MemoryPropertyBag : public PropertyBag {
public:
    bool contains(const QString& name) const { return mValues.contains(name); }
    QStringList names() const { return mValues.keys(); }
    qsizetype size() const { return mValues.size(); }
    void clear() { mValues.clear(); }

protected:
    std::optional<QVariant> find(const QString& name) const override;
    void store(const QString& name, const QVariant& value) override;
    void erase(const QString& name) override;

private:
    QMap<QString, QVariant> mValues;
};

} // namespace controls
