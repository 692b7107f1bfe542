#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace controls {

//! A named store of a control's properties. A property equal to its default
//! is not kept, so reading it back gives the default again.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    //! The stored value of `name`, or `defaultValue` when none is stored.
    QVariant read(const QString& name, const QVariant& defaultValue) const;

    //! Stores `value` under `name`; a value equal to `defaultValue` removes
    //! the entry instead, so a stale value cannot come back on reading.
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue);

protected:
    virtual std::optional<QVariant> find(const QString& name) const = 0;
    virtual void store(const QString& name, const QVariant& value) = 0;
    virtual void erase(const QString& name) = 0;
};

} // namespace controls
