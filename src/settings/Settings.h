#pragma once

#include "settings/CRegister.h"

#include <QMetaObject>
#include <QStringList>
#include <functional>

namespace options {
class FormatOptions;
}

//! Moves the output options between their controls and the settings key:
//! loaded at start-up and by "Restore Defaults", saved when the window closes.
//! Between those moments the controls alone hold the options.
class Settings {
public:
    //! `clearLoading` clears the window's loading flag; loading calls it once
    //! the output format is chosen. Connects "Restore Defaults" to
    //! cmdDefaults_Click for as long as this object lives.
    Settings(options::FormatOptions& options, CRegister store, std::function<void()> clearLoading = {});
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    //! Writes every saved option, in one transaction. Nothing is reported when
    //! the key cannot be written: the options are then simply not kept.
    void SaveSettings() const;

    //! Reads every saved option and applies it to its control; a value that
    //! cannot be applied is skipped and its control keeps its state. Writes
    //! back the folder choice and the output folder, clears the loading flag
    //! after the format is chosen, re-establishes the enabled states and ends
    //! with the format summary.
    void LoadSettings();

    //! "Restore Defaults": deletes the settings key, then loads again.
    void cmdDefaults_Click();

private:
    void load(const QString& name);

    options::FormatOptions& m_options;
    CRegister m_store;
    std::function<void()> m_clearLoading;
    QMetaObject::Connection m_defaultsConnection;
};

//! The options of a command-line run: loaded as the window loads them (with
//! the loader's write-backs) and never saved, then each "NAME=VALUE" of
//! `assignments` applied for this run only. False, with a message naming it
//! in `error`, at the first assignment with an unknown name or a value that
//! does not apply.
bool loadSettingsForRun(options::FormatOptions& options, CRegister store, const QStringList& assignments,
                        QString* error);
