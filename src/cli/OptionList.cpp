#include "cli/OptionList.h"

#include "cli/CommandOptions.h"
#include "settings/RunOptions.h"
#include "settings/SettingsTable.h"

namespace cli {

namespace {

using settings::table::AllowedValues;

//! "0 = a, 1 = b, ..." for the items by index.
QString indexed(const QStringList& items)
{
    QStringList pairs;
    for (qsizetype i = 0; i < items.size(); ++i)
        pairs << QStringLiteral("%1 = %2").arg(i).arg(items.at(i));
    return pairs.join(QStringLiteral(", "));
}

QString describe(const AllowedValues& allowed)
{
    switch (allowed.kind) {
    case AllowedValues::Kind::TrueFalse:
        return QStringLiteral("True or False");
    case AllowedValues::Kind::WholeNumber:
        return QStringLiteral("a whole number from %1 to %2").arg(allowed.lowest).arg(allowed.highest);
    case AllowedValues::Kind::ListIndex:
        return indexed(allowed.items);
    case AllowedValues::Kind::FormatIndex:
        return indexed(formatNames().mid(allowed.lowest, allowed.highest - allowed.lowest + 1));
    case AllowedValues::Kind::Folder:
        return QStringLiteral("a folder (~/ stands for the home folder of whoever runs it)");
    case AllowedValues::Kind::Pattern:
        return QStringLiteral("a name pattern, such as {artist}/{album}/{track:02} - {title}");
    }
    return {};
}

} // namespace

QString optionList(settings::RunOptions& options)
{
    QString text = QStringLiteral("# The options of 'tonemill convert --option NAME=VALUE', with the values of\n"
                                  "# this run; 'tonemill convert --options-from FILE' reads these lines.\n");
    for (const QString& name : settings::table::valueNames()) {
        const std::optional<AllowedValues> allowed = settings::table::allowedValues(options.formatOptions(), name);
        const std::optional<QString> value = settings::table::storedText(options.formatOptions(), name);
        if (allowed)
            text += QStringLiteral("# %1: %2\n").arg(name, describe(*allowed));
        if (value)
            text += name + u'=' + *value + u'\n';
    }
    return text;
}

} // namespace cli
