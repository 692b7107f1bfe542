#pragma once

#include "settings/CRegister.h"

#include <QHash>
#include <QMetaObject>
#include <functional>

namespace options {
class FormatOptions;
}
namespace platform {
class Desktop;
}

namespace settings {

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

    //! Where the messages of this object go (a store held by another
    //! process, an output folder that is not the user's); none by default.
    void setDesktop(platform::Desktop* desktop) { m_desktop = desktop; }

    //! With true, loading never writes back and saving and "Restore Defaults"
    //! leave the store as it is: for a run that only reads the options.
    void setStoreReadOnly(bool readOnly) { m_readOnly = readOnly; }

    //! Writes the options whose values changed since they were loaded (or
    //! last saved), in one transaction, so that another window's choices in
    //! the same store are not undone by this one's. Nothing is reported when
    //! the key cannot be written (the options are then simply not kept),
    //! except when another process held the store for longer than a save
    //! waits: that is said once. Nothing is written after a load that could
    //! not read the store, so its defaults never replace the saved options.
    //! False when the changes could not be written (true when there were none).
    [[nodiscard]] bool SaveSettings() const;

    //! Reads every saved option in one look at the store and applies it to its
    //! control; a value that cannot be applied is skipped and its control keeps
    //! its state. A store held by another process is waited for only briefly:
    //! that is said once and the defaults apply. An output folder the user can
    //! neither write nor make is replaced by the user's own default, saying so.
    //! Writes back the folder choice and the output folder, clears the loading
    //! flag after the format is chosen, re-establishes the enabled states and
    //! ends with the format summary.
    void LoadSettings();

    //! "Restore Defaults": deletes the settings key, then loads again.
    void cmdDefaults_Click();

private:
    void load(const QHash<QString, QString>& stored, const QString& name);
    void useOwnFolderIfNotWritable();
    void tell(const QString& text) const;
    //! Remembers every option's stored form as the controls hold it now.
    void rememberKept();

    options::FormatOptions& m_options;
    CRegister m_store;
    std::function<void()> m_clearLoading;
    platform::Desktop* m_desktop = nullptr;
    bool m_readOnly = false;
    bool m_unread = false; // the last load could not read the store
    // Each option's stored form as last loaded or saved: what this window
    // has not changed since is not written.
    mutable QHash<QString, QString> m_kept;
    QMetaObject::Connection m_defaultsConnection;
};

} // namespace settings
