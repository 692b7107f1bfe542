#pragma once

#include "settings/EncoderFlags.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace cli {

//! The commands that take options.
enum class Command { Probe, Convert };

//! The --format names, by format index (AAC is named after its file type).
const QStringList& formatNames();

//! The arguments of `tonemill probe` and `tonemill convert`: one parser for
//! both, each option taken by the commands it is listed for.
struct CommandArguments {
    bool help = false; //!< --help or -h, anywhere before "--"

    // Both commands
    QStringList paths;                  //!< the PATHs of the command line (the lists' come later)
    bool recursive = false;             //!< --recursive: folders with their sub-folders
    bool keepTree = false;              //!< --keep-tree: outputs mirror the added folders' trees
    QString treeRoot;                   //!< --tree-root DIR: files and folders below it keep their place
    std::optional<QString> namePattern; //!< --name-pattern PATTERN: names from tags
    QStringList filesFrom;              //!< --files-from FILE ("-": standard input), in order
    bool nulSeparated = false;          //!< -0: the lists' paths end with NUL, not a line break
    bool json = false;                  //!< --json: a JSON object per row, then the totals
    bool quiet = false;                 //!< --quiet: rows only, no messages
    QStringList optionFiles;            //!< --options-from FILE, in order
    QStringList assignments;            //!< --option NAME=VALUE, in order

    // convert
    int format = -1;                  //!< format index, -1 for the saved choice
    QString outputFolder;             //!< --output DIR ("-": standard output), empty when not given
    bool sameFolder = false;          //!< --same-folder
    bool loudness = false;            //!< --loudness: each row ends in the output's loudness
    bool skipExisting = false;        //!< --skip-existing: pass over rows already converted
    bool listOptions = false;         //!< --list-options: print the options instead of converting
    bool verbose = false;             //!< --verbose: what each row does
    std::optional<int> jobs;          //!< --jobs N
    std::optional<int> normalize;     //!< --normalize LUFS
    settings::EncoderChoices encoder; //!< --mode, --bitrate, ... as given

    //! --output -: the one row's output goes to standard output.
    bool toStandardOutput() const { return outputFolder == QLatin1String("-"); }
    //! "-" as the one input: standard input is converted.
    bool fromStandardInput() const { return paths.size() == 1 && paths.first() == QLatin1String("-"); }

    //! Parses the words after the command. Options end at "--"; a value
    //! follows its option or an "=". Nothing, with the reason in `error`, on a
    //! usage error (an unknown option names the nearest ones); --help anywhere
    //! before "--" wins over every error.
    static std::optional<CommandArguments> parse(Command command, const QStringList& words, QString& error);
};

//! The option lines of the command's --help, from the same table the
//! parser reads: each option with its value and what it does.
QString optionHelp(Command command);

//! Checks a --name-pattern value: empty when usable, else why not.
QString namePatternError(const QString& pattern);

} // namespace cli
