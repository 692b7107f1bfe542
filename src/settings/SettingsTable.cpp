#include "settings/SettingsTable.h"

#include "options/FormatOptions.h"
#include "settings/UserFolder.h"

#include <array>
#include <cmath>
#include <limits>

using options::FormatOptions;

namespace settings::table {

namespace {

enum class Kind { Option, Check, Text, Format, Slider, List, Pattern };

struct Entry {
    const char* name;
    Kind kind;
    const char* defaultText; // null: worked out on this machine (the output folder, the processors)
};

// In the order the values are saved.
constexpr Entry kEntries[] = {
    {"optOtherFolder", Kind::Option, "True"},
    {"optSameFolder", Kind::Option, "False"},
    {"txtOutPath", Kind::Text, nullptr},
    {"optFileFormat", Kind::Format, "2"},
    {"sliderWMA", Kind::Slider, "50"},
    {"cmbMP3StereoMode", Kind::List, "2"},
    {"cmbMP3Freq", Kind::List, "0"},
    {"SliderMP3EncoderQuality", Kind::Slider, "5"},
    {"optMP3CBR", Kind::Option, "True"},
    {"optMP3ABR", Kind::Option, "False"},
    {"optMP3VBR", Kind::Option, "False"},
    {"SliderMP3VBR", Kind::Slider, "5"},
    {"cmbMP3CBitrate", Kind::List, "6"},
    {"cmbMP3ABitrate", Kind::List, "6"},
    {"sliderOGG", Kind::Slider, "3"},
    {"optOGGCBR", Kind::Option, "0"},
    {"optOGGVBR", Kind::Option, "1"},
    {"cmbOGGCBitrate", Kind::List, "6"},
    {"cmbOGGVBitrate", Kind::List, "6"},
    {"chkCopyTags", Kind::Check, "True"},
    // The formats added later.
    {"sliderFLACLevel", Kind::Slider, "5"},
    {"sliderOpusBitrate", Kind::Slider, "128"},
    {"optOpusAudio", Kind::Option, "True"},
    {"optOpusVoIP", Kind::Option, "False"},
    {"sliderAACBitrate", Kind::Slider, "192"},
    // Music libraries: the folder scan, the output tree and names from tags.
    {"chkSubFolders", Kind::Check, "False"},
    {"chkKeepTree", Kind::Check, "False"},
    {"chkNamePattern", Kind::Check, "False"},
    {"txtNamePattern", Kind::Pattern, nullptr},
    {"sliderSimultaneous", Kind::Slider, nullptr}, // the number of processors
    // Loudness.
    {"chkReplayGain", Kind::Check, "True"},
    {"chkNormalize", Kind::Check, "False"},
    {"sliderNormalizeTarget", Kind::Slider, "-18"},
    {"optNormalizeTrack", Kind::Option, "True"},
    {"optNormalizeAlbum", Kind::Option, "False"},
    {"chkSkipConverted", Kind::Check, "False"},
};

const Entry* find(const QString& name)
{
    for (const Entry& entry : kEntries)
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

// The states are members of the options; these map a value name to its state.
template <typename Options> auto optionStates(Options& o)
{
    return std::array{&o.optOtherFolder, &o.optSameFolder,     &o.optMP3CBR,        &o.optMP3ABR,
                      &o.optMP3VBR,      &o.optOGGCBR,         &o.optOGGVBR,        &o.optOpusAudio,
                      &o.optOpusVoIP,    &o.optNormalizeTrack, &o.optNormalizeAlbum};
}

template <typename Options> auto checkStates(Options& o)
{
    return std::array{&o.chkCopyTags,   &o.chkSubFolders, &o.chkKeepTree,     &o.chkNamePattern,
                      &o.chkReplayGain, &o.chkNormalize,  &o.chkSkipConverted};
}

template <typename Options> auto sliderStates(Options& o)
{
    return std::array{&o.sliderWMA,        &o.SliderMP3EncoderQuality, &o.SliderMP3VBR,
                      &o.sliderOGG,        &o.sliderFLACLevel,         &o.sliderOpusBitrate,
                      &o.sliderAACBitrate, &o.sliderSimultaneous,      &o.sliderNormalizeTarget};
}

template <typename Options> auto listStates(Options& o)
{
    return std::array{&o.cmbMP3StereoMode, &o.cmbMP3Freq,     &o.cmbMP3CBitrate,
                      &o.cmbMP3ABitrate,   &o.cmbOGGCBitrate, &o.cmbOGGVBitrate};
}

// Every name of the table has its state, so this never returns null for one.
template <typename States> auto byName(const States& states, const QString& name)
{
    for (auto* state : states)
        if (state->name() == name)
            return state;
    return typename States::value_type(nullptr);
}

// A decimal number, blanks around it allowed.
std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A decimal number rounded to a whole number (halves to the even neighbour),
// within the signed 32-bit range.
std::optional<qint32> wholeNumber(const QString& text)
{
    const auto value = number(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(rounded);
}

std::optional<bool> optionState(const QString& text)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto value = number(word))
        return *value != 0;
    return std::nullopt;
}

} // namespace

QStringList valueNames()
{
    QStringList names;
    for (const Entry& entry : kEntries)
        names.append(QLatin1String(entry.name));
    return names;
}

std::optional<QString> canonicalName(const QString& name)
{
    const Entry* entry = find(name);
    if (!entry)
        return std::nullopt;
    return QString::fromLatin1(entry->name);
}

QString defaultText(const QString& name)
{
    const Entry* entry = find(name);
    if (!entry)
        return {};
    if (entry->defaultText)
        return QString::fromLatin1(entry->defaultText);
    if (entry->kind == Kind::Slider)
        return QString::number(FormatOptions::processorCount());
    return entry->kind == Kind::Pattern ? FormatOptions::defaultNamePattern()
                                        : userfolder::toStoredForm(FormatOptions::defaultOutputFolder());
}

std::optional<QString> storedText(const FormatOptions& options, const QString& name)
{
    const Entry* entry = find(name);
    if (!entry)
        return std::nullopt;
    const QString canonical = QString::fromLatin1(entry->name);
    switch (entry->kind) {
    case Kind::Option:
        return byName(optionStates(options), canonical)->Value() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Check:
        return byName(checkStates(options), canonical)->Value() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Text:
        return userfolder::toStoredForm(options.txtOutPath.Text());
    case Kind::Pattern:
        return options.txtNamePattern.Text();
    case Kind::Format:
        if (options.selectedFormat() < 0)
            return std::nullopt;
        return QString::number(options.selectedFormat());
    case Kind::Slider:
        return QString::number(byName(sliderStates(options), canonical)->Value());
    case Kind::List:
        return QString::number(byName(listStates(options), canonical)->ListIndex());
    }
    return std::nullopt;
}

bool applyText(FormatOptions& options, const QString& name, const QString& text)
{
    const Entry* entry = find(name);
    if (!entry)
        return false;
    const QString canonical = QString::fromLatin1(entry->name);
    switch (entry->kind) {
    case Kind::Option: {
        const auto state = optionState(text);
        if (!state)
            return false;
        byName(optionStates(options), canonical)->setValue(*state);
        return true;
    }
    case Kind::Check: {
        const auto state = optionState(text);
        if (!state)
            return false;
        byName(checkStates(options), canonical)->setValue(*state);
        return true;
    }
    case Kind::Text:
        options.txtOutPath.setText(userfolder::fromStoredForm(text));
        return true;
    case Kind::Pattern:
        options.txtNamePattern.setText(text);
        return true;
    case Kind::Format: {
        const auto index = wholeNumber(text);
        if (!index || *index < 0 || *index >= FormatOptions::kFormatCount)
            return false;
        options.optFileFormat(*index).setValue(true);
        options.bringPageToFront(*index);
        return true;
    }
    case Kind::Slider: {
        const auto value = wholeNumber(text);
        if (!value)
            return false;
        byName(sliderStates(options), canonical)->setValue(*value);
        return true;
    }
    case Kind::List: {
        const auto index = wholeNumber(text);
        // A stored index always names an entry: "none chosen" is not kept.
        if (!index || *index < 0)
            return false;
        return byName(listStates(options), canonical)->setListIndex(*index);
    }
    }
    return false;
}

std::optional<AllowedValues> allowedValues(const FormatOptions& options, const QString& name)
{
    const Entry* entry = find(name);
    if (!entry)
        return std::nullopt;
    const QString canonical = QString::fromLatin1(entry->name);
    AllowedValues allowed;
    switch (entry->kind) {
    case Kind::Option:
    case Kind::Check:
        allowed.kind = AllowedValues::Kind::TrueFalse;
        break;
    case Kind::Text:
        allowed.kind = AllowedValues::Kind::Folder;
        break;
    case Kind::Pattern:
        allowed.kind = AllowedValues::Kind::Pattern;
        break;
    case Kind::Format:
        allowed.kind = AllowedValues::Kind::FormatIndex;
        allowed.highest = FormatOptions::kFormatCount - 1;
        break;
    case Kind::Slider: {
        const auto* slider = byName(sliderStates(options), canonical);
        allowed.kind = AllowedValues::Kind::WholeNumber;
        allowed.lowest = slider->Min();
        allowed.highest = slider->Max();
        break;
    }
    case Kind::List: {
        const auto* list = byName(listStates(options), canonical);
        allowed.kind = AllowedValues::Kind::ListIndex;
        allowed.items = list->items();
        allowed.highest = list->ListCount() - 1;
        break;
    }
    }
    return allowed;
}

} // namespace settings::table

namespace settings {

bool applySettingOverride(FormatOptions& options, const QString& name, const QString& value, QString* error)
{
    const auto canonical = table::canonicalName(name);
    if (!canonical) {
        if (error)
            *error = QStringLiteral("unknown option '%1'").arg(name);
        return false;
    }
    if (!table::applyText(options, *canonical, value)) {
        if (error)
            *error = QStringLiteral("option '%1': value '%2' does not apply").arg(*canonical, value);
        return false;
    }
    options.UpdateFormatSummary();
    return true;
}

bool applySettingOverride(FormatOptions& options, const QString& assignment, QString* error)
{
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    if (equals <= 0) {
        if (error)
            *error = QStringLiteral("'%1' is not of the form NAME=VALUE").arg(assignment);
        return false;
    }
    return applySettingOverride(options, assignment.left(equals), assignment.mid(equals + 1), error);
}

} // namespace settings
