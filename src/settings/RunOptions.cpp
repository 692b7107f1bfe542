#include "settings/RunOptions.h"

#include "options/FormatOptions.h"
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

void RunOptions::chooseOutputFolder(const QString& folder)
{
    m_options->optOtherFolder.setValue(true);
    QString shown = folder;
    if (shown.size() > 1 && shown.endsWith(u'/'))
        shown.chop(1);
    m_options->txtOutPath.setText(shown);
}

} // namespace settings
