#pragma once
// How the test framework prints Qt's texts when a check fails: as the text
// (escaped where it is not printable), not as a list of 2-byte objects. Every
// test source includes this first (the test build's -include).

#include <QByteArray>
#include <QString>
#include <ostream>

// In the global namespace, where QString and QByteArray live, so that the
// framework finds them by argument-dependent lookup.
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            *os << '\\' << c;
        else if (c == '\n')
            *os << "\\n";
        else if (c == '\t')
            *os << "\\t";
        else if (byte < 0x20 || byte == 0x7f)
            *os << "\\x"
                << "0123456789abcdef"[byte >> 4] << "0123456789abcdef"[byte & 15];
        else
            *os << c;
    }
    *os << '"';
}

inline void PrintTo(const QString& text, std::ostream* os)
{
    PrintTo(text.toUtf8(), os);
}
