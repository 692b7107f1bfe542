#include "cli/ConvertArguments.h"

#include "convert/OutputNamePattern.h"

namespace cli {

namespace {

// The range of "Normalise loudness to", in LUFS.
constexpr int kLowestTarget = -40;
constexpr int kHighestTarget = -5;

int formatIndex(const QString& name)
{
    // By format index; AAC is named after its file type.
    static const QStringList names = {QStringLiteral("wav"), QStringLiteral("wma"),  QStringLiteral("mp3"),
                                      QStringLiteral("ogg"), QStringLiteral("flac"), QStringLiteral("opus"),
                                      QStringLiteral("m4a")};
    return int(names.indexOf(name.toLower()));
}

} // namespace

QString ConvertArguments::namePatternError(const QString& pattern)
{
    const convert::OutputNamePattern parsed(pattern);
    return parsed.usable() ? QString() : QStringLiteral("--name-pattern: %1").arg(parsed.problemText());
}

std::optional<ConvertArguments> ConvertArguments::parse(const QStringList& arguments, QString& error)
{
    ConvertArguments result;
    bool optionsEnded = false;
    bool outputGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(u'-') || argument == QLatin1String("-")) {
            result.paths << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("--same-folder")) {
            result.sameFolder = true;
            continue;
        }
        if (argument == QLatin1String("--recursive")) {
            result.recursive = true;
            continue;
        }
        if (argument == QLatin1String("--keep-tree")) {
            result.keepTree = true;
            continue;
        }
        if (argument == QLatin1String("--loudness")) {
            result.loudness = true;
            continue;
        }
        if (argument == QLatin1String("-0") || argument == QLatin1String("--null")) {
            result.nulSeparated = true;
            continue;
        }
        if (argument == QLatin1String("--json")) {
            result.json = true;
            continue;
        }
        if (argument == QLatin1String("--skip-existing")) {
            result.skipExisting = true;
            continue;
        }

        // Options with a value: "--name VALUE" or "--name=VALUE".
        QString value;
        const qsizetype equals = argument.indexOf(u'=');
        if (equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (argument == QLatin1String("--format") || argument == QLatin1String("--output") ||
                   argument == QLatin1String("--option") || argument == QLatin1String("--name-pattern") ||
                   argument == QLatin1String("--jobs") || argument == QLatin1String("--normalize") ||
                   argument == QLatin1String("--files-from") || argument == QLatin1String("--tree-root")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(argument);
                return std::nullopt;
            }
            value = arguments.at(++i);
        }
        if (argument == QLatin1String("--format")) {
            result.format = formatIndex(value);
            if (result.format < 0) {
                error = QStringLiteral("unknown format '%1' (wav, wma, mp3, ogg, flac, opus or m4a)").arg(value);
                return std::nullopt;
            }
        } else if (argument == QLatin1String("--output")) {
            if (value.isEmpty()) {
                error = QStringLiteral("--output needs a folder");
                return std::nullopt;
            }
            result.outputFolder = value;
            outputGiven = true;
        } else if (argument == QLatin1String("--files-from")) {
            if (value.isEmpty()) {
                error = QStringLiteral("--files-from needs a file ('-' for standard input)");
                return std::nullopt;
            }
            result.filesFrom << value;
        } else if (argument == QLatin1String("--tree-root")) {
            if (value.isEmpty()) {
                error = QStringLiteral("--tree-root needs a folder");
                return std::nullopt;
            }
            result.treeRoot = value;
            result.keepTree = true;
        } else if (argument == QLatin1String("--option")) {
            result.assignments << value;
        } else if (argument == QLatin1String("--name-pattern")) {
            error = namePatternError(value);
            if (!error.isEmpty())
                return std::nullopt;
            result.namePattern = value;
        } else if (argument == QLatin1String("--jobs")) {
            bool ok = false;
            const int jobs = value.toInt(&ok);
            if (!ok || jobs < 1) {
                error = QStringLiteral("--jobs needs a whole number of 1 or more");
                return std::nullopt;
            }
            // The saved option it stands for, limited to the processors like the option.
            result.assignments << QStringLiteral("sliderSimultaneous=%1").arg(jobs);
        } else if (argument == QLatin1String("--normalize")) {
            bool ok = false;
            const int target = value.toInt(&ok);
            if (!ok || target < kLowestTarget || target > kHighestTarget) {
                error = QStringLiteral("--normalize needs a whole number of LUFS from %1 to %2")
                            .arg(kLowestTarget)
                            .arg(kHighestTarget);
                return std::nullopt;
            }
            // The saved options it stands for.
            result.assignments << QStringLiteral("chkNormalize=True")
                               << QStringLiteral("sliderNormalizeTarget=%1").arg(target);
        } else {
            error = QStringLiteral("unknown option '%1' (put paths that begin with '-' after '--')").arg(argument);
            return std::nullopt;
        }
    }
    if (outputGiven && result.sameFolder) {
        error = QStringLiteral("--output and --same-folder exclude each other");
        return std::nullopt;
    }
    if (result.keepTree && result.sameFolder) {
        error = QStringLiteral("--keep-tree and --tree-root need an output folder: they exclude --same-folder");
        return std::nullopt;
    }
    if (result.nulSeparated && result.filesFrom.isEmpty()) {
        error = QStringLiteral("-0 applies to --files-from, which is not given");
        return std::nullopt;
    }
    if (result.filesFrom.count(QStringLiteral("-")) > 1) {
        error = QStringLiteral("standard input can be read only once");
        return std::nullopt;
    }
    if (result.paths.isEmpty() && result.filesFrom.isEmpty()) {
        error = QStringLiteral("no PATH given (nor --files-from)");
        return std::nullopt;
    }
    return result;
}

} // namespace cli
