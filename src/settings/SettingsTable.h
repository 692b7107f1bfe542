#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace options {
class FormatOptions;
}

//! The saved options: each a string value named after the control that shows
//! it. Options are stored as "True" or "False", sliders as whole numbers and
//! lists as zero-based indexes, all in decimal.
namespace settings::table {

//! The key that holds the values, below the machine-wide root.
inline const QString kSettingsKey = QStringLiteral("Software\\Korvane Tonemill\\Settings");

//! The longest stored text any option can hold: a path (PATH_MAX bytes).
inline constexpr qint64 kMaxStoredBytes = 4096;

//! The value names in the order they are saved.
QStringList valueNames();

//! The canonical spelling of `name` (matched without regard to case), or
//! nullopt when no option is saved under that name.
std::optional<QString> canonicalName(const QString& name);

//! The stored text that stands for `name` when no value is kept.
QString defaultText(const QString& name);

//! The stored form of the option `name` as the controls hold it now; nullopt
//! when there is nothing to store (no format chosen).
std::optional<QString> storedText(const options::FormatOptions& options, const QString& name);

//! Applies a stored text to the control `name`, as its setter does (option
//! buttons raise their click, sliders limit the value to their range;
//! choosing a format also brings its page to the front). Options read "True"
//! and "False" in any letter case and decimal numbers (0 off, others on);
//! sliders, lists and the format read decimal numbers. False, and the control
//! keeps its state, when the text does not convert or a list index lies
//! outside the list.
bool applyText(options::FormatOptions& options, const QString& name, const QString& text);

//! What the stored text of an option may be, for a person choosing one.
struct AllowedValues {
    enum class Kind {
        TrueFalse,   //!< an option button or a check box
        WholeNumber, //!< a slider: `lowest` to `highest`
        ListIndex,   //!< a list: 0 to items.size() - 1, each index standing for its item
        FormatIndex, //!< the output format, `lowest` to `highest`
        Folder,      //!< a folder ("~/..." for one below the home folder)
        Pattern,     //!< a name pattern
    };
    Kind kind = Kind::TrueFalse;
    int lowest = 0;
    int highest = 0;
    QStringList items;
};

//! The values the option `name` takes; nullopt for an unknown name.
std::optional<AllowedValues> allowedValues(const options::FormatOptions& options, const QString& name);

} // namespace settings::table

namespace settings {

//! Sets one saved option for this run only, by its value name (any letter
//! case) and stored form, through the code that applies a loaded value, then
//! rebuilds the format summary. False with a message in `error` for an
//! unknown name or a value that does not apply.
bool applySettingOverride(options::FormatOptions& options, const QString& name, const QString& value, QString* error);

//! The same for an assignment "NAME=VALUE" (split at the first "=").
bool applySettingOverride(options::FormatOptions& options, const QString& assignment, QString* error);

} // namespace settings
