#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace lang {

//! One entry of the language box: a language file's display name, the
//! position (1 for the first) of its flag in the box's image list, and the
//! file's name as the folder has it ("GERMAN.INI" stays so).
struct LanguageEntry {
    QString displayName;
    int image = 0;
    QString fileName;

    bool operator==(const LanguageEntry&) const = default;
};

//! What listing the language folder found.
struct LanguageListing {
    //! The languages, in folder listing order.
    QList<LanguageEntry> entries;
    //! Index of the entry whose file name matches the current language file
    //! without regard to letter case (the last such); -1 when none does.
    int marked = -1;
    //! How many flag pictures were added to the image list.
    int images = 0;
    //! Description of the failure that ended the listing early; empty when
    //! the whole folder was listed.
    QString failure;
};

//! Lists a language folder: the flag bitmaps ("*.bmp") first, each handed to
//! the image list, then the language files ("*.ini"), both in folder listing
//! order (by name, letter case ignored). A language and its flag are paired by
//! position in the two listings, not by name: the i-th bitmap is the image of
//! the i-th language, so one bitmap per language with the same base name
//! pairs them, and a missing bitmap leaves the last languages without one.
class LanguageFolder {
public:
    //! Appends the picture in `path` to the image list; false with a
    //! description of the failure in `failure` when it cannot be loaded.
    using AddImage = std::function<bool(const QString& path, QString& failure)>;

    //! The file names of `folder` (files only, hidden ones left out) in folder
    //! listing order.
    static QStringList fileNames(const QString& folder);

    //! Lists `folder`. `languageFile` is the current language file name; a
    //! picture that cannot be loaded ends the listing there.
    static LanguageListing list(const QString& folder, const QString& languageFile, const AddImage& addImage);

    //! The display name of a language file: the name up to the first ".ini",
    //! found without regard to letter case.
    static QString displayName(const QString& fileName);
};

} // namespace lang
