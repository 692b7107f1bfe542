#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace lang {

//! One section of a language file, read and parsed once and then looked up
//! in memory. Immutable after construction, so threads may share one.
class LanguageTexts {
public:
    //! Reads `path` (a missing or unreadable file has no entries).
    LanguageTexts(const QString& path, const QByteArray& section);
    LanguageTexts(const LanguageTexts&) = delete;
    LanguageTexts& operator=(const LanguageTexts&) = delete;

    //! The text of `key` as the classic reader gives it (see
    //! ProfileReader::readString), at most `bufferSize` - 1 bytes; nothing
    //! when the file, the section or the key is missing.
    std::optional<QString> text(const QString& key, qsizetype bufferSize) const;

private:
    QByteArray m_content;
    QHash<QByteArray, QByteArrayView> m_values; // point into m_content
    bool m_utf8 = true;
};

} // namespace lang
