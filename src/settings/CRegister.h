#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

//! The root keys of the settings store. Each is one hive file (see
//! CRegister::hivePath).
namespace settings {

enum class RegistryRoot {
    LocalMachine, //!< machine-wide: shared by every user of the installation
};
inline constexpr RegistryRoot HKEY_LOCAL_MACHINE = RegistryRoot::LocalMachine;

//! Reads, writes and deletes string values of the settings store. Key paths
//! are backslash-separated ("Software\Vendor\Settings"), key and value names
//! are matched without regard to case, and the value name "*" stands for a
//! key's unnamed value. Holds no state between calls: create one, use it and
//! drop it. Failures are results, never messages.
class CRegister {
public:
    //! Hives live in the settings folder of this copy of the program: its
    //! program folder's "settings", or the installed copy's state folder
    //! (platform::programPlaces).
    CRegister();
    //! Hives live in `hiveFolder`.
    explicit CRegister(QString hiveFolder);

    //! The stored text of value `name` of key `section`, or `fallback` when
    //! the store, the key or the value is missing, the value is empty, or the
    //! store cannot be read.
    QString REGGetSetting(RegistryRoot root, const QString& section, const QString& name,
                          const QString& fallback) const;

    //! Sets value `name` of key `section` to `value`, creating the key (and
    //! the store) as needed. True when the value was written.
    [[nodiscard]] bool REGSaveSetting(RegistryRoot root, const QString& section, const QString& name,
                                      const QString& value) const;

    //! Reads the values `names` of key `section` in one transaction (one
    //! look at the store, however many values): the stored text of each that
    //! holds one, keyed by the name as asked. `busy`, when given, tells
    //! whether the store could not be read because another process held it.
    //! A value longer than `maxBytes` (when not negative) is not read: its
    //! name goes into `tooLong` instead.
    QHash<QString, QString> readValues(RegistryRoot root, const QString& section, const QStringList& names,
                                       bool* busy = nullptr, qint64 maxBytes = -1,
                                       QStringList* tooLong = nullptr) const;

    //! Sets several values of key `section` in one transaction: after a crash
    //! or a failure the store holds either all of them or none. True when all
    //! were written. Saving all options with one call keeps them consistent.
    //! `busy` as for readValues(). Another process's lock is waited for a few
    //! seconds, or with `briefly` only as long as a read waits.
    [[nodiscard]] bool saveValues(RegistryRoot root, const QString& section,
                                  const QList<std::pair<QString, QString>>& values, bool* busy = nullptr,
                                  bool briefly = false) const;

    //! With a value name, deletes that value of `section`; with an empty
    //! `name`, deletes the key `section` with all its values (refused when it
    //! has sub-keys). True when something was deleted.
    [[nodiscard]] bool REGDeleteSetting(RegistryRoot root, const QString& section, const QString& name) const;

    //! The hive file of a root key, e.g. "<folder>/HKEY_LOCAL_MACHINE.db".
    QString hivePath(RegistryRoot root) const;

private:
    static QString TrimSectionPath(const QString& section);

    QString m_hiveFolder;
};

} // namespace settings
