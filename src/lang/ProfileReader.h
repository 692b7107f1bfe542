#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>

namespace lang {

//! Reads INI files by the rules of the classic private-profile reader:
//! section and key names match without regard to letter case and lose the
//! blanks around them; a value loses the blanks around it, and a value
//! enclosed in double quotes loses the quotes but keeps the blanks inside.
//! Lines starting with ';' are comments. Only the first section of a name is
//! read, and the first entry of a key in it wins. Lines may end in LF, CR LF
//! or CR; a UTF-8 byte order mark at the start is skipped. Files are UTF-8;
//! one that is not valid UTF-8 is read as Windows-1252.
class ProfileReader {
public:
    //! The value of `key` in section `section` of the INI text, or nothing when
    //! the section or the key is missing. The view points into `text`.
    static std::optional<QByteArrayView> findValue(QByteArrayView text, QByteArrayView section, QByteArrayView key);

    //! Every entry of section `section` of the INI text, keyed by foldKey()
    //! of its key: the same values findValue() gives, found in one pass.
    static QHash<QByteArray, QByteArrayView> sectionValues(QByteArrayView text, QByteArrayView section);
    //! A key as sectionValues() keys it: trimmed, ASCII letters in lower case.
    static QByteArray foldKey(QByteArrayView key);

    //! Reads the whole file; false when it cannot be read, is not a regular
    //! file or is larger than any language file (16 MB).
    static bool readFile(const QString& path, QByteArray& content);

    //! A value found in a file as the lookup gives it: up to a NUL byte, at
    //! most `bufferSize` - 1 bytes, decoded as UTF-8 when the whole file is
    //! valid UTF-8 (`utf8File`), else as Windows-1252.
    static QString valueText(QByteArrayView value, bool utf8File, qsizetype bufferSize);
    //! The default text as the lookup gives it: cut the same way, trailing
    //! blanks removed.
    static QString defaultText(const QString& text, qsizetype bufferSize);

    //! The value of `key` in section `section` of the file at `path`, at most
    //! `bufferSize` - 1 bytes of it. When the file, the section or the key is
    //! missing: `fallback` with its trailing blanks removed, cut the same way.
    //! A key present with an empty value gives empty text.
    static QString readString(const QString& path, const QString& section, const QString& key, const QString& fallback,
                              qsizetype bufferSize);

    //! The longest start of the UTF-8 `text` of at most `maxBytes` bytes that
    //! does not end inside a character.
    static QByteArrayView cutUtf8(QByteArrayView text, qsizetype maxBytes);
};

} // namespace lang
