#include "cli/CommandSetup.h"

#include "cli/ConsoleText.h"
#include "cli/JsonLine.h"
#include "cli/NearestNames.h"
#include "cli/OptionsFile.h"
#include "cli/PathList.h"
#include "cli/TabLine.h"
#include "settings/CRegister.h"
#include "settings/RunOptions.h"
#include "settings/SettingsTable.h"

namespace cli {

bool loadRunOptions(const CommandArguments& arguments, settings::RunOptions& options, platform::Desktop& desktop,
                    QString& error)
{
    QStringList assignments;
    for (const QString& file : arguments.optionFiles) {
        QString problem;
        const std::optional<QStringList> read = readOptionsFile(file, problem);
        if (!read) {
            error = QStringLiteral("--options-from %1").arg(problem);
            return false;
        }
        assignments << *read;
    }
    assignments << arguments.assignments;
    for (const QString& assignment : assignments) {
        const QString name = assignment.section(u'=', 0, 0);
        if (!assignment.contains(u'=') || name.isEmpty()) {
            error = QStringLiteral("'%1' is not of the form NAME=VALUE").arg(assignment);
            return false;
        }
        if (!settings::table::canonicalName(name)) {
            error = QStringLiteral("unknown option '%1'%2; 'tonemill convert --list-options' lists them")
                        .arg(name, didYouMean(name, settings::table::valueNames()));
            return false;
        }
    }
    return options.load(settings::CRegister(), assignments, &error, &desktop);
}

std::optional<std::vector<InputPath>> inputPaths(const CommandArguments& arguments, QString& error)
{
    std::vector<InputPath> inputs;
    for (const QString& path : arguments.paths)
        inputs.push_back({path, PathOrigin::Argument});
    for (const QString& file : arguments.filesFrom) {
        QString problem;
        const std::optional<QStringList> listed = readPathList(file, arguments.nulSeparated, problem);
        if (!listed) {
            error = QStringLiteral("--files-from %1").arg(problem);
            return std::nullopt;
        }
        for (const QString& path : *listed)
            inputs.push_back({path, PathOrigin::List});
    }
    return inputs;
}

void reportRefusal(const Refusal& refusal, const QString& shown, bool json, bool quiet, std::FILE* out,
                   std::FILE* messages)
{
    const QString reason = filelist::englishReason(refusal.reason);
    if (!quiet) {
        const QString why = refusal.detail.isEmpty() ? reason : QStringLiteral("%1 (%2)").arg(reason, refusal.detail);
        writeUtf8(messages, QStringLiteral("refused: %1: %2\n").arg(why, tabField(shown)));
        std::fflush(messages);
    }
    if (json) {
        JsonLine line;
        line.add("input", shown)
            .add("output", std::nullopt)
            .add("status", QStringLiteral("Refused"))
            .add("reason", reason);
        const QByteArray bytes = line.object() + '\n';
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out);
        std::fflush(out);
    }
}

} // namespace cli
