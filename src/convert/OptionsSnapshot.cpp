#include "convert/OptionsSnapshot.h"

#include "options/FormatOptions.h"
#include "settings/SettingsTable.h"

namespace convert {

std::unique_ptr<options::FormatOptions> SnapshotOptions(const options::FormatOptions& options)
{
    auto copy = std::make_unique<options::FormatOptions>();
    // Through the stored forms: every option the store keeps, set the way a
    // loaded value is set, so a new option is copied as soon as it is saved.
    for (const QString& name : settings::table::valueNames())
        if (const auto text = settings::table::storedText(options, name))
            settings::table::applyText(*copy, name, *text);
    copy->chkWMAFileTags.setValue(options.chkWMAFileTags.Value());
    for (int i = 0; i < options::FormatOptions::kTagCount; ++i)
        copy->txtWMATags(i).setText(options.txtWMATags(i).Text());
    return copy;
}

} // namespace convert
