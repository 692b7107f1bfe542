#include "settings/Settings.h"

#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"
#include "platform/LogCategories.h"
#include "settings/SettingsTable.h"
#include "settings/UserFolder.h"

#include <utility>

namespace settings {

using table::kSettingsKey;

Settings::Settings(options::FormatOptions& options, CRegister store, std::function<void()> clearLoading)
    : m_options(options), m_store(std::move(store)), m_clearLoading(std::move(clearLoading))
{
    m_defaultsConnection = QObject::connect(&m_options.cmdDefaults, &options::ButtonState::Click, &m_options,
                                            [this] { cmdDefaults_Click(); });
}

Settings::~Settings()
{
    QObject::disconnect(m_defaultsConnection);
}

bool Settings::SaveSettings() const
{
    if (m_readOnly)
        return false;
    // The defaults stood in for options that could not be read: saving them
    // would overwrite the user's options unseen.
    if (m_unread) {
        qCInfo(lcSettings, "The options were not saved: they could not be read when loading");
        return false;
    }
    QList<std::pair<QString, QString>> values;
    QHash<QString, QString> changed;
    for (const QString& name : table::valueNames()) {
        const auto text = table::storedText(m_options, name);
        if (!text)
            continue; // no format chosen: nothing is written for it
        const auto kept = m_kept.constFind(name);
        if (kept != m_kept.constEnd() && *kept == *text)
            continue; // unchanged here: another window may have saved its own choice
        changed.insert(name, *text);
        // This value has always been written with a lower-case "v"; names
        // are matched without regard to case, so it is the same value.
        values.append({name == QLatin1String("cmbOGGVBitrate") ? QStringLiteral("cmbOGGvBitrate") : name, *text});
    }
    if (values.isEmpty())
        return true;
    bool busy = false;
    const bool written = m_store.saveValues(HKEY_LOCAL_MACHINE, kSettingsKey, values, &busy);
    if (busy)
        tell(lang::caption(lang::StringId::SettingsNotSaved));
    else if (!written)
        qCInfo(lcSettings, "The options were not saved: the store cannot be written");
    if (written)
        m_kept.insert(changed);
    return written;
}

void Settings::rememberKept()
{
    m_kept.clear();
    for (const QString& name : table::valueNames())
        if (const auto text = table::storedText(m_options, name))
            m_kept.insert(name, *text);
}

void Settings::tell(const QString& text) const
{
    if (m_desktop)
        m_desktop->messageBox(text, lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Exclamation,
                              platform::Desktop::Buttons::Ok);
}

void Settings::load(const QHash<QString, QString>& stored, const QString& name)
{
    const QString text = stored.value(name, table::defaultText(name));
    if (!table::applyText(m_options, name, text))
        qCInfo(lcSettings, "Saved option %s = \"%s\" does not apply; the control keeps its state", qUtf8Printable(name),
               qUtf8Printable(text));
}

void Settings::useOwnFolderIfNotWritable()
{
    const QString folder = m_options.txtOutPath.Text();
    const QString own = options::FormatOptions::defaultOutputFolder();
    if (folder == own || userfolder::usable(folder))
        return;
    qCInfo(lcSettings, "Output folder %s cannot be written or made by this user; %s is used instead",
           qUtf8Printable(folder), qUtf8Printable(own));
    m_options.txtOutPath.setText(own);
    // Said only while the folder is in use: with "Same folder as input file"
    // it plays no part until the user chooses another folder.
    if (m_options.optOtherFolder.Value())
        tell(lang::caption(lang::StringId::OutputFolderNotYours).arg(folder, own));
}

void Settings::LoadSettings()
{
    options::FormatOptions& o = m_options;

    // One look at the store: a store held by another process then costs one
    // short wait and one message, not a wait for every value.
    bool busy = false;
    QStringList tooLong;
    const QHash<QString, QString> stored = m_store.readValues(HKEY_LOCAL_MACHINE, kSettingsKey, table::valueNames(),
                                                              &busy, table::kMaxStoredBytes, &tooLong);
    // No option holds that much (the longest, a folder, is one path): the
    // value is not the user's choice, and its default stands in.
    for (const QString& name : tooLong)
        qCWarning(lcSettings, "The saved option %s is longer than %lld bytes and is ignored; its default is used",
                  qUtf8Printable(name), static_cast<long long>(table::kMaxStoredBytes));
    m_unread = busy;
    if (busy)
        tell(lang::caption(lang::StringId::SettingsInUse));

    load(stored, QStringLiteral("optOtherFolder"));
    load(stored, QStringLiteral("optSameFolder"));
    load(stored, QStringLiteral("txtOutPath"));
    useOwnFolderIfNotWritable();
    if (o.optSameFolder.Value()) {
        o.txtOutPath.setEnabled(false);
        o.cmdBrowse.setEnabled(false);
    }
    o.chkKeepTree.setEnabled(o.optOtherFolder.Value());
    // After the first start the key already holds these two; the folder in a
    // form that names no user, since every user shares the key. Not worth
    // more than a short wait: it is written again when the window closes.
    if (!m_readOnly && !busy)
        static_cast<void>(m_store.saveValues(
            HKEY_LOCAL_MACHINE, kSettingsKey,
            {{QStringLiteral("optSameFolder"), *table::storedText(o, QStringLiteral("optSameFolder"))},
             {QStringLiteral("txtOutPath"), *table::storedText(o, QStringLiteral("txtOutPath"))}},
            nullptr, true));

    load(stored, QStringLiteral("optFileFormat"));
    if (m_clearLoading)
        m_clearLoading();

    for (const char* name : {"sliderWMA", "cmbMP3StereoMode", "cmbMP3Freq", "SliderMP3EncoderQuality", "optMP3CBR",
                             "optMP3ABR", "optMP3VBR", "SliderMP3VBR", "cmbMP3CBitrate", "cmbMP3ABitrate"})
        load(stored, QLatin1String(name));
    o.cmbMP3CBitrate.setEnabled(o.optMP3CBR.Value());
    o.cmbMP3ABitrate.setEnabled(o.optMP3ABR.Value());
    o.SliderMP3VBR.setEnabled(o.optMP3VBR.Value());

    for (const char* name : {"sliderOGG", "optOGGCBR", "optOGGVBR", "cmbOGGCBitrate", "cmbOGGVBitrate"})
        load(stored, QLatin1String(name));
    o.cmbOGGCBitrate.setEnabled(o.optOGGCBR.Value());
    o.cmbOGGVBitrate.setEnabled(!o.optOGGCBR.Value());

    load(stored, QStringLiteral("chkCopyTags"));
    for (const char* name : {"chkSubFolders", "chkKeepTree", "chkNamePattern", "txtNamePattern"})
        load(stored, QLatin1String(name));
    o.txtNamePattern.setEnabled(o.chkNamePattern.Value());
    for (const char* name : {"sliderFLACLevel", "sliderOpusBitrate", "optOpusAudio", "optOpusVoIP", "sliderAACBitrate",
                             "sliderSimultaneous", "chkSkipConverted"})
        load(stored, QLatin1String(name));

    o.UpdateFormatSummary();
    rememberKept();
}

void Settings::cmdDefaults_Click()
{
    if (!m_readOnly && !m_store.REGDeleteSetting(HKEY_LOCAL_MACHINE, kSettingsKey, QString()))
        qCInfo(lcSettings,
               "Restore Defaults deleted no saved options (none were kept, or the store cannot be written)");
    LoadSettings();
}

} // namespace settings
