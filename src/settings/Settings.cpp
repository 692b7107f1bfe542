#include "settings/Settings.h"

#include "settings/SettingsTable.h"
#include "options/FormatOptions.h"

#include <utility>

using settingstable::kSettingsKey;

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

void Settings::SaveSettings() const
{
    QList<std::pair<QString, QString>> values;
    for (const QString& name : settingstable::valueNames()) {
        const auto text = settingstable::storedText(m_options, name);
        if (!text)
            continue; // no format chosen: nothing is written for it
        // This value has always been written with a lower-case "v"; names
        // are matched without regard to case, so it is the same value.
        values.append({name == QLatin1String("cmbOGGVBitrate") ? QStringLiteral("cmbOGGvBitrate") : name, *text});
    }
    m_store.saveValues(HKEY_LOCAL_MACHINE, kSettingsKey, values);
}

void Settings::load(const QString& name)
{
    const QString text =
        m_store.REGGetSetting(HKEY_LOCAL_MACHINE, kSettingsKey, name, settingstable::defaultText(name));
    settingstable::applyText(m_options, name, text);
}

void Settings::LoadSettings()
{
    options::FormatOptions& o = m_options;

    load(QStringLiteral("optOtherFolder"));
    load(QStringLiteral("optSameFolder"));
    load(QStringLiteral("txtOutPath"));
    if (o.optSameFolder.Value()) {
        o.txtOutPath.setEnabled(false);
        o.cmdBrowse.setEnabled(false);
    }
    // After the first start the key already holds these two.
    m_store.saveValues(
        HKEY_LOCAL_MACHINE, kSettingsKey,
        {{QStringLiteral("optSameFolder"), *settingstable::storedText(o, QStringLiteral("optSameFolder"))},
         {QStringLiteral("txtOutPath"), o.txtOutPath.Text()}});

    load(QStringLiteral("optFileFormat"));
    if (m_clearLoading)
        m_clearLoading();

    for (const char* name : {"sliderWMA", "cmbMP3StereoMode", "cmbMP3Freq", "SliderMP3EncoderQuality", "optMP3CBR",
                             "optMP3ABR", "optMP3VBR", "SliderMP3VBR", "cmbMP3CBitrate", "cmbMP3ABitrate"})
        load(QLatin1String(name));
    o.cmbMP3CBitrate.setEnabled(o.optMP3CBR.Value());
    o.cmbMP3ABitrate.setEnabled(o.optMP3ABR.Value());
    o.SliderMP3VBR.setEnabled(o.optMP3VBR.Value());

    for (const char* name : {"sliderOGG", "optOGGCBR", "optOGGVBR", "cmbOGGCBitrate", "cmbOGGVBitrate"})
        load(QLatin1String(name));
    o.cmbOGGCBitrate.setEnabled(o.optOGGCBR.Value());
    o.cmbOGGVBitrate.setEnabled(!o.optOGGCBR.Value());

    for (const char* name : {"sliderFLACLevel", "sliderOpusBitrate", "optOpusAudio", "optOpusVoIP", "sliderAACBitrate"})
        load(QLatin1String(name));

    o.UpdateFormatSummary();
}

void Settings::cmdDefaults_Click()
{
    m_store.REGDeleteSetting(HKEY_LOCAL_MACHINE, kSettingsKey, QString());
    LoadSettings();
}

bool loadSettingsForRun(options::FormatOptions& options, CRegister store, const QStringList& assignments,
                        QString* error)
{
    Settings(options, std::move(store)).LoadSettings();
    for (const QString& assignment : assignments)
        if (!applySettingOverride(options, assignment, error))
            return false;
    return true;
}
