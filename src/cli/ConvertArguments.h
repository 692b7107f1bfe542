#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace cli {

//! The arguments of `tonemill convert`.
struct ConvertArguments {
    int format = -1;                    //!< format index (0 WAV … 3 OGG), -1 for the saved choice
    QString outputFolder;               //!< --output DIR, empty when not given
    bool sameFolder = false;            //!< --same-folder
    bool recursive = false;             //!< --recursive: folders with their sub-folders
    bool keepTree = false;              //!< --keep-tree: outputs mirror the added folders' trees
    std::optional<QString> namePattern; //!< --name-pattern PATTERN: names from tags
    bool loudness = false;              //!< --loudness: each line ends in the output's loudness
    QString treeRoot;                   //!< --tree-root DIR: the tree files given one by one mirror
    QStringList filesFrom;              //!< --files-from FILE ("-": standard input), in order
    bool nulSeparated = false;          //!< -0: the lists' paths end with NUL, not a line break
    bool json = false;                  //!< --json: a JSON object per row, then the totals
    bool skipExisting = false;          //!< --skip-existing: pass over rows already converted
    QStringList assignments;            //!< --option NAME=VALUE, in order
    QStringList paths;                  //!< the PATHs of the command line (the lists' come later)

    //! Parses the arguments after "convert". Options end at "--"; nothing
    //! (with the reason in `error`) on a usage error. Without --files-from,
    //! a PATH must be given.
    static std::optional<ConvertArguments> parse(const QStringList& arguments, QString& error);

    //! Checks a --name-pattern value: empty when usable, else why not.
    static QString namePatternError(const QString& pattern);
};

} // namespace cli
