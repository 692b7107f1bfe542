#pragma once

// What the tests of the settings store and of what is kept in it share: a
// store of their own in a temporary folder, read and written in the machine's
// hive as the program does.

#include "settings/CRegister.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace storetest {

class StoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString hiveFolder = dir.path() + QStringLiteral("/settings");
    settings::CRegister reg{hiveFolder};

    //! The value `name` holds under `section`; `fallback` when there is none.
    QString get(const QString& section, const QString& name, const QString& fallback = QStringLiteral("DEF")) const
    {
        return reg.REGGetSetting(settings::HKEY_LOCAL_MACHINE, section, name, fallback);
    }
    bool save(const QString& section, const QString& name, const QString& value) const
    {
        return reg.REGSaveSetting(settings::HKEY_LOCAL_MACHINE, section, name, value);
    }
    bool remove(const QString& section, const QString& name) const
    {
        return reg.REGDeleteSetting(settings::HKEY_LOCAL_MACHINE, section, name);
    }
};

} // namespace storetest
