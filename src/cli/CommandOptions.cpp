#include "cli/CommandOptions.h"

#include "cli/NearestNames.h"
#include "convert/OutputNamePattern.h"
#include "settings/RunOptions.h"

#include <vector>

namespace cli {

namespace {

constexpr unsigned kProbe = 1;
constexpr unsigned kConvert = 2;
constexpr unsigned kBoth = kProbe | kConvert;

unsigned bit(Command command)
{
    return command == Command::Probe ? kProbe : kConvert;
}

//! The groups --help shows the options in, in this order.
enum class Group { Input, Output, Settings, Report };

//! Applies an option (by the name it was given as) with its value; sets
//! `error` when the value does not do.
using Apply = void (*)(CommandArguments& arguments, const QString& name, const QString& value, QString& error);

struct Option {
    QString spec;      //!< "-0, --null": the names, the last one long
    QString valueName; //!< empty for a switch
    unsigned commands;
    Group group;
    QString help; //!< what it does, filled to the width of --help
    Apply apply;

    QStringList names() const
    {
        QStringList names = spec.split(QStringLiteral(", "));
        return names;
    }
};

std::optional<int> wholeNumber(const QString& value)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

void needsValue(const QString& name, const QString& value, const char* what, QString& error)
{
    if (value.isEmpty())
        error = QStringLiteral("%1 needs %2").arg(name, QLatin1String(what));
}

//! The table the parser reads and --help shows.
const std::vector<Option>& optionTable()
{
    static const std::vector<Option> table = [] {
        std::vector<Option> t = {
            {QStringLiteral("--recursive"),
             {},
             kBoth,
             Group::Input,
             QStringLiteral("a folder's sub-folders too (hidden and linked ones are not\n"
                            "entered); files come in natural name order\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.recursive = true; }},
            {QStringLiteral("--files-from"), QStringLiteral("FILE"), kBoth, Group::Input,
             QStringLiteral("also the paths listed in FILE ('-': standard input), one a\n"
                            "line; bytes are kept as they are\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "a file ('-' for standard input)", error);
                 a.filesFrom << value;
             }},
            {QStringLiteral("-0, --null"),
             {},
             kBoth,
             Group::Input,
             QStringLiteral("each path of the lists ends with a NUL, as 'find -print0'\n"
                            "writes them, so names may hold line breaks\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.nulSeparated = true; }},
            {QStringLiteral("--tree-root"), QStringLiteral("DIR"), kBoth, Group::Input,
             QStringLiteral("files and folders given that lie below DIR (after links and\n"
                            "'..' are resolved) keep their place in its tree, as a whole\n"
                            "run over DIR would place them (implies --keep-tree); a path\n"
                            "outside it is refused\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "a folder", error);
                 a.treeRoot = value;
                 a.keepTree = true;
             }},
            {QStringLiteral("--format"), formatNames().join(u'|'), kConvert, Group::Output,
             QStringLiteral("the output format\n"),
             [](CommandArguments& a, const QString&, const QString& value, QString& error) {
                 a.format = int(formatNames().indexOf(value.toLower()));
                 if (a.format < 0)
                     error = QStringLiteral("unknown format '%1' (%2)")
                                 .arg(value, formatNames().join(QStringLiteral(", ")));
             }},
            {QStringLiteral("--output"), QStringLiteral("DIR"), kConvert, Group::Output,
             QStringLiteral("write every output into DIR; '-' writes the output of the one\n"
                            "input to standard output (wav, flac, mp3, ogg, opus)\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "a folder", error);
                 a.outputFolder = value;
             }},
            {QStringLiteral("--same-folder"),
             {},
             kConvert,
             Group::Output,
             QStringLiteral("write each output beside its input\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.sameFolder = true; }},
            {QStringLiteral("--keep-tree"),
             {},
             kBoth,
             Group::Output,
             QStringLiteral("each output goes below the output folder at its input's place\n"
                            "inside the folder it was found in\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.keepTree = true; }},
            {QStringLiteral("--name-pattern"), QStringLiteral("PATTERN"), kBoth, Group::Output,
             QStringLiteral("name outputs from tags, such as\n"
                            "'{artist}/{album}/{track:02} - {title}'; fields: artist, album,\n"
                            "albumartist, title, track, disc, year, date, genre, composer;\n"
                            "a file missing one keeps its own name\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "a pattern", error);
                 if (error.isEmpty())
                     error = namePatternError(value);
                 a.namePattern = value;
             }},
            {QStringLiteral("--skip-existing"),
             {},
             kConvert,
             Group::Output,
             QStringLiteral("pass over a file whose output name (after --name-pattern and\n"
                            "--keep-tree) already holds a complete output: the chosen\n"
                            "format, as long as the input within a frame, whose last\n"
                            "second decodes; the row reads Skipped, so a run started\n"
                            "again finishes without duplicates\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.skipExisting = true; }},
        };
        for (const settings::EncoderFlag& flag : settings::encoderFlags())
            t.push_back({QLatin1String(flag.name), QLatin1String(flag.valueName), kConvert, Group::Settings,
                         QLatin1String(flag.help),
                         [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                             needsValue(name, value, "a value", error);
                             a.encoder.given.emplace_back(name, value);
                         }});
        const std::vector<Option> more = {
            {QStringLiteral("--normalize"), QStringLiteral("LUFS"), kConvert, Group::Settings,
             QStringLiteral("normalise each output's loudness to LUFS (a whole number from\n"
                            "%1 to %2, such as -18), in a pass of its own unless the file\n"
                            "was measured before; by file, or by album with\n"
                            "--option optNormalizeAlbum=True\n")
                 .arg(settings::RunOptions::lowestNormalizeTarget())
                 .arg(settings::RunOptions::highestNormalizeTarget()),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 const std::optional<int> target = wholeNumber(value);
                 if (!target || *target < settings::RunOptions::lowestNormalizeTarget() ||
                     *target > settings::RunOptions::highestNormalizeTarget())
                     error = QStringLiteral("%1 needs a whole number of LUFS from %2 to %3")
                                 .arg(name)
                                 .arg(settings::RunOptions::lowestNormalizeTarget())
                                 .arg(settings::RunOptions::highestNormalizeTarget());
                 a.normalize = target;
             }},
            {QStringLiteral("--jobs"), QStringLiteral("N"), kConvert, Group::Settings,
             QStringLiteral("convert up to N files at once (1 to the number of\n"
                            "processors; the saved choice when not given)\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 a.jobs = wholeNumber(value);
                 if (!a.jobs || *a.jobs < 1)
                     error = QStringLiteral("%1 needs a whole number of 1 or more").arg(name);
             }},
            {QStringLiteral("--option"), QStringLiteral("NAME=VALUE"), kBoth, Group::Settings,
             QStringLiteral("set one saved option by its value name and stored form (such\n"
                            "as sliderOGG=5) for this run only; 'tonemill convert --list-options' names\n"
                            "them\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "NAME=VALUE", error);
                 a.assignments << value;
             }},
            {QStringLiteral("--options-from"), QStringLiteral("FILE"), kBoth, Group::Settings,
             QStringLiteral("set the options of FILE's NAME=VALUE lines (as --list-options\n"
                            "writes them; lines that begin with '#' are passed over) for\n"
                            "this run; --option and the encoder flags win over them\n"),
             [](CommandArguments& a, const QString& name, const QString& value, QString& error) {
                 needsValue(name, value, "a file", error);
                 a.optionFiles << value;
             }},
            {QStringLiteral("--list-options"),
             {},
             kConvert,
             Group::Settings,
             QStringLiteral("print every option --option takes, with its allowed values\n"
                            "and the value this run would use (the saved one, changed by\n"
                            "the options given), as lines --options-from reads; convert\n"
                            "nothing\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.listOptions = true; }},
            {QStringLiteral("--json"),
             {},
             kBoth,
             Group::Report,
             QStringLiteral("print one JSON object per row instead of the tab-separated\n"
                            "line (with \"samples\": the sample frames of input and output,\n"
                            "each at its own rate), then {\"totals\": {...}}; see the\n"
                            "README for the fields\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.json = true; }},
            {QStringLiteral("--loudness"),
             {},
             kConvert,
             Group::Report,
             QStringLiteral("add a field: the output's integrated loudness and true peak\n"
                            "('-14.23 LUFS, -0.31 dBTP'; numbers in \"loudness\" with --json)\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.loudness = true; }},
            {QStringLiteral("--quiet"),
             {},
             kBoth,
             Group::Report,
             QStringLiteral("the rows only: no progress, no messages, no refused paths on\n"
                            "standard error (the exit status still tells)\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.quiet = true; }},
            {QStringLiteral("--verbose"),
             {},
             kConvert,
             Group::Report,
             QStringLiteral("say on standard error what each row does: its encoder (the\n"
                            "command line of lame and oggenc) and the loudness measured\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.verbose = true; }},
            {QStringLiteral("-h, --help"),
             {},
             kBoth,
             Group::Report,
             QStringLiteral("print this help and exit\n"),
             [](CommandArguments& a, const QString&, const QString&, QString&) { a.help = true; }},
        };
        t.insert(t.end(), more.begin(), more.end());
        return t;
    }();
    return table;
}

const Option* findOption(Command command, const QString& name)
{
    for (const Option& option : optionTable())
        if ((option.commands & bit(command)) && option.names().contains(name))
            return &option;
    return nullptr;
}

QStringList optionNames(Command command)
{
    QStringList names;
    for (const Option& option : optionTable())
        if (option.commands & bit(command))
            names << option.names();
    return names;
}

//! The checks between options, once all are read; empty when they agree.
QString disagreement(Command command, const CommandArguments& a)
{
    if (!a.outputFolder.isEmpty() && a.sameFolder)
        return QStringLiteral("--output and --same-folder exclude each other");
    if (a.keepTree && a.sameFolder)
        return QStringLiteral("--keep-tree and --tree-root need an output folder: they exclude --same-folder");
    if (a.quiet && a.verbose)
        return QStringLiteral("--quiet and --verbose exclude each other");
    if (a.nulSeparated && a.filesFrom.isEmpty())
        return QStringLiteral("-0 applies to --files-from, which is not given");
    const qsizetype fromInput = a.filesFrom.count(QStringLiteral("-")) + a.paths.count(QStringLiteral("-"));
    if (fromInput > 1)
        return QStringLiteral("standard input can be read only once");
    if (a.paths.contains(QStringLiteral("-")) && (a.paths.size() > 1 || !a.filesFrom.isEmpty()))
        return QStringLiteral("'-' (standard input) must be the one input");
    if (a.fromStandardInput() && command == Command::Probe)
        return QStringLiteral("probe reads no audio from standard input; give a path");
    if (a.toStandardOutput()) {
        if (a.json)
            return QStringLiteral("--output - writes the audio to standard output: it excludes --json");
        if (a.keepTree || a.namePattern || a.skipExisting)
            return QStringLiteral("--output - excludes --keep-tree, --tree-root, --name-pattern and --skip-existing");
    }
    if (a.paths.isEmpty() && a.filesFrom.isEmpty() && !a.listOptions)
        return QStringLiteral("no PATH given (nor --files-from)");
    return {};
}

} // namespace

const QStringList& formatNames()
{
    static const QStringList names = {QStringLiteral("wav"), QStringLiteral("wma"),  QStringLiteral("mp3"),
                                      QStringLiteral("ogg"), QStringLiteral("flac"), QStringLiteral("opus"),
                                      QStringLiteral("m4a")};
    return names;
}

QString namePatternError(const QString& pattern)
{
    const convert::OutputNamePattern parsed(pattern);
    return parsed.usable() ? QString() : QStringLiteral("--name-pattern: %1").arg(parsed.problemText());
}

std::optional<CommandArguments> CommandArguments::parse(Command command, const QStringList& words, QString& error)
{
    CommandArguments result;
    QString firstError;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (optionsEnded || !word.startsWith(u'-') || word == QLatin1String("-")) {
            result.paths << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = word;
        std::optional<QString> value;
        if (const qsizetype equals = word.indexOf(u'='); word.startsWith(QLatin1String("--")) && equals > 0) {
            name = word.left(equals);
            value = word.mid(equals + 1);
        }
        const Option* option = findOption(command, name);
        QString problem;
        if (!option) {
            const QString nearest = didYouMean(name, optionNames(command));
            problem = QStringLiteral("unknown option '%1'%2")
                          .arg(name, nearest.isEmpty() ? QStringLiteral(" (put paths that begin with '-' after '--')")
                                                       : nearest);
        } else if (option->valueName.isEmpty() && value) {
            problem = QStringLiteral("%1 takes no value").arg(name);
        } else {
            if (!option->valueName.isEmpty() && !value) {
                if (i + 1 < words.size())
                    value = words.at(++i);
                else
                    problem = QStringLiteral("%1 needs %2").arg(name, option->valueName);
            }
            if (problem.isEmpty())
                option->apply(result, name, value.value_or(QString()), problem);
        }
        if (firstError.isEmpty())
            firstError = problem;
    }
    if (result.help)
        return result;
    if (firstError.isEmpty())
        firstError = disagreement(command, result);
    if (!firstError.isEmpty()) {
        error = firstError;
        return std::nullopt;
    }
    return result;
}

QString optionHelp(Command command)
{
    static const char* const headings[] = {
        "What to take:", "Where the outputs go:", "Settings for this run:", "What is printed:"};
    constexpr qsizetype kTextColumn = 23;
    constexpr qsizetype kWidth = 80;
    QString help;
    for (const Group group : {Group::Input, Group::Output, Group::Settings, Group::Report}) {
        QString lines;
        for (const Option& option : optionTable()) {
            if (!(option.commands & bit(command)) || option.group != group)
                continue;
            QString line = QStringLiteral("  ") + option.spec;
            if (!option.valueName.isEmpty())
                line += u' ' + option.valueName;
            // The text starts on the option's line, at its column when two
            // blanks still fit before it, and is filled to the width.
            line = line.size() + 2 <= kTextColumn ? line.leftJustified(kTextColumn) : line + QStringLiteral("  ");
            bool first = true;
            for (const QString& word : option.help.simplified().split(u' ')) {
                if (!first && line.size() + 1 + word.size() > kWidth) {
                    lines += line + u'\n';
                    line = QString(kTextColumn, u' ');
                    first = true;
                }
                line += (first ? QString() : QStringLiteral(" ")) + word;
                first = false;
            }
            lines += line + u'\n';
        }
        if (!lines.isEmpty())
            help += u'\n' + QLatin1String(headings[int(group)]) + u'\n' + lines;
    }
    return help;
}

} // namespace cli
