#include "cli/JsonLine.h"

#include <cmath>

namespace cli {

namespace {

void appendEscape(QByteArray& out, char16_t unit)
{
    static const char hex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += hex[(unit >> shift) & 0xF];
}

} // namespace

QByteArray JsonLine::quoted(const QString& text)
{
    QByteArray out = "\"";
    QString plain; // characters written as UTF-8, flushed before each escape
    const auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            plain += text.at(i);
            plain += text.at(++i);
            continue;
        }
        const char* escape = nullptr;
        switch (u) {
        case u'"':
            escape = "\\\"";
            break;
        case u'\\':
            escape = "\\\\";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case u'\t':
            escape = "\\t";
            break;
        default:
            break;
        }
        if (escape) {
            flush();
            out += escape;
        } else if (u < 0x20 || u == 0x7F || QChar::isSurrogate(u)) {
            // Control characters, and the lone surrogates that stand for a
            // name's bytes that are not UTF-8 ("\udce9" for the byte 0xE9).
            flush();
            appendEscape(out, u);
        } else {
            plain += text.at(i);
        }
    }
    flush();
    return out + '"';
}

void JsonLine::addKey(const char* key)
{
    if (!m_members.isEmpty())
        m_members += ',';
    m_members += '"';
    m_members += key;
    m_members += "\":";
}

JsonLine& JsonLine::add(const char* key, const std::optional<QString>& text)
{
    addKey(key);
    m_members += text ? quoted(*text) : QByteArray("null");
    return *this;
}

JsonLine& JsonLine::add(const char* key, qint64 number)
{
    addKey(key);
    m_members += QByteArray::number(number);
    return *this;
}

JsonLine& JsonLine::add(const char* key, bool value)
{
    addKey(key);
    m_members += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::add(const char* key, double number, int decimals)
{
    addKey(key);
    if (!std::isfinite(number)) {
        m_members += "null";
        return *this;
    }
    QByteArray digits = QByteArray::number(number, 'f', decimals);
    if (digits.contains('.')) {
        while (digits.endsWith('0'))
            digits.chop(1);
        if (digits.endsWith('.'))
            digits.chop(1);
    }
    if (digits == "-0")
        digits = "0";
    m_members += digits;
    return *this;
}

JsonLine& JsonLine::add(const char* key, const JsonLine& object)
{
    addKey(key);
    m_members += object.object();
    return *this;
}

} // namespace cli
