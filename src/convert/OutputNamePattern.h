#pragma once

#include "engine/MediaTags.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace convert {

//! A pattern that names outputs from their input's tags, such as
//! "{artist}/{album}/{track:02} - {title}": fields in braces, "/" between
//! folders, "{field:N}" writes a number with at least N digits.
//!
//! Expanding it gives the output's path relative to its folder, without the
//! extension. Tag text never makes folders or leaves the folder: "/", "\",
//! control characters and leading dots become "_", each part is cut to 255
//! bytes (the last one shorter, to leave room for a collision suffix and the
//! extension). When a field it names has no tag, the output keeps the
//! input's base name.
class OutputNamePattern {
public:
    //! Why a pattern cannot be used.
    enum class Problem { None, Empty, Escapes, UnknownField, Braces };

    //! Longest part of an output path, in bytes, and what the last part
    //! leaves free for "_Converted_10000" and the extension.
    static constexpr int kPartBytes = 255;
    static constexpr int kNameReserve = 32;

    explicit OutputNamePattern(const QString& pattern);

    //! The first of the pattern's problems; None when it is usable.
    Problem problem() const;
    bool usable() const { return m_problems.empty(); }
    //! The localized message of the first problem; empty when usable.
    QString problemText() const;
    //! The localized messages of every problem the pattern has, in the
    //! order they stand in it (each unknown field named once).
    QStringList problemTexts() const;

    //! The output's relative path without extension; `baseName` when the
    //! pattern is not usable or a field it names has no tag.
    QString expand(const engine::MediaTags& tags, const QString& baseName) const;

    //! The field names a pattern may use, matched without regard to case.
    static const QStringList& fieldNames();

private:
    struct Piece {
        QString literal; //!< text, when `field` is -1
        int field = -1;  //!< index into fieldNames()
        int width = 0;   //!< "{field:N}": at least N digits for a number
    };
    using Part = std::vector<Piece>;

    struct Found {
        Problem problem;
        QString field; //!< the unknown field, in its braces
        bool operator==(const Found&) const = default;
    };

    //! Reads one part of the path into `part`, noting its problems.
    void parsePart(const QString& text, Part& part);
    void note(Problem problem, const QString& field = QString());
    static QString problemText(const Found& found);

    std::vector<Part> m_parts;
    std::vector<Found> m_problems;
};

//! `text` made fit to be one part of a file name: "/", "\", control
//! characters and leading dots replaced by "_", cut to `maxBytes` bytes of
//! UTF-8 without splitting a character.
QString SanitizedNamePart(const QString& text, int maxBytes = OutputNamePattern::kPartBytes);

} // namespace convert
