#include "settings/RunOptions.h"

#include "options/FormatOptions.h"
#include "settings/EncoderFlags.h"
#include "settings/Settings.h"
#include "settings/SettingsTable.h"

#include <utility>

namespace settings {

RunOptions::RunOptions() : m_options(std::make_unique<options::FormatOptions>()) {}

RunOptions::~RunOptions() = default;

bool RunOptions::load(CRegister store, const QStringList& assignments, QString* error, platform::Desktop* desktop)
{
    Settings settings(*m_options, std::move(store));
    settings.setStoreReadOnly(true);
    settings.setDesktop(desktop);
    settings.LoadSettings();
    for (const QString& assignment : assignments)
        if (!applySettingOverride(*m_options, assignment, error))
            return false;
    return true;
}

bool RunOptions::chooseFormat(int index)
{
    if (index < 0 || index >= options::FormatOptions::kFormatCount)
        return false;
    m_options->optFileFormat(index).setValue(true);
    return true;
}

void RunOptions::chooseSameFolder()
{
    m_options->optSameFolder.setValue(true);
}

void RunOptions::chooseKeepTree()
{
    m_options->chkKeepTree.setValue(true);
}

void RunOptions::chooseSkipConverted()
{
    m_options->chkSkipConverted.setValue(true);
}

void RunOptions::chooseNamePattern(const QString& pattern)
{
    m_options->txtNamePattern.setText(pattern);
    m_options->chkNamePattern.setValue(true);
}

bool RunOptions::chooseNormalizeTarget(int lufs)
{
    if (lufs < lowestNormalizeTarget() || lufs > highestNormalizeTarget())
        return false;
    m_options->chkNormalize.setValue(true);
    m_options->sliderNormalizeTarget.setValue(lufs);
    return true;
}

int RunOptions::lowestNormalizeTarget()
{
    return options::FormatOptions::kLowestNormalizeTarget;
}

int RunOptions::highestNormalizeTarget()
{
    return options::FormatOptions::kHighestNormalizeTarget;
}

bool RunOptions::chooseEncoderSettings(const EncoderChoices& choices, const QStringList& formatNames, QString* error)
{
    QString why;
    const std::optional<QStringList> assignments =
        encoderAssignments(*m_options, m_options->selectedFormat(), choices, formatNames, why);
    if (!assignments) {
        if (error)
            *error = why;
        return false;
    }
    for (const QString& assignment : *assignments)
        if (!applySettingOverride(*m_options, assignment, error))
            return false;
    return true;
}

int RunOptions::selectedFormat() const
{
    return m_options->selectedFormat();
}

QString RunOptions::formatSummary()
{
    m_options->UpdateFormatSummary();
    return m_options->lblFormat.Caption().section(u'\n', 0, 0);
}

void RunOptions::chooseOutputFolder(const QString& folder)
{
    m_options->optOtherFolder.setValue(true);
    QString shown = folder;
    if (shown.size() > 1 && shown.endsWith(u'/'))
        shown.chop(1);
    m_options->txtOutPath.setText(shown);
}

} // namespace settings
