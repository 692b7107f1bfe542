#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace cli {

//! One JSON object written on one line, its members in the order added.
//! Texts are UTF-8; a file name's bytes that are not UTF-8 (kept as lone
//! surrogates U+DC80 … U+DCFF, see platform/FileName.h) are written as
//! "\udc80" … "\udcff", as Python's surrogateescape reads and writes them,
//! so `os.fsencode()` of the decoded text gives the name's bytes back.
class JsonLine {
public:
    //! A text member; nothing given writes null.
    JsonLine& add(const char* key, const std::optional<QString>& text);
    JsonLine& add(const char* key, qint64 number);
    JsonLine& add(const char* key, bool value);
    //! A number with up to `decimals` places after the point (trailing zeros
    //! dropped); null when it is not finite (JSON has no infinity).
    JsonLine& add(const char* key, double number, int decimals);
    //! A member whose value is another object.
    JsonLine& add(const char* key, const JsonLine& object);

    //! "{...}" without a line end.
    QByteArray object() const { return '{' + m_members + '}'; }

    //! `text` as a JSON string, quotes included.
    static QByteArray quoted(const QString& text);

private:
    void addKey(const char* key);
    QByteArray m_members;
};

} // namespace cli
