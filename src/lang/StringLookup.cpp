#include "lang/StringLookup.h"

#include "lang/ProfileReader.h"
#include "platform/ProgramFolder.h"

namespace lang {

namespace {

// The lookup's buffer: 499 bytes of text and a terminator.
constexpr qsizetype kBufferSize = 500;

} // namespace

QString sLanguageFile;

QString languageFilePath()
{
    return platform::programFolder() + QStringLiteral("/Lang/") + sLanguageFile;
}

QString SetCaptionfromINI(const QString& id, const QString& fallback)
{
    const QString text =
        ProfileReader::readString(languageFilePath(), QStringLiteral("Tonemill"), id, fallback, kBufferSize);
    // The reader has already dropped trailing blanks except inside quotes; the
    // leading ones go here, for values and defaults alike.
    qsizetype start = 0;
    while (start < text.size() && text[start] == QLatin1Char(' '))
        ++start;
    return text.sliced(start);
}

QString caption(StringId id)
{
    return SetCaptionfromINI(idText(id), englishText(id));
}

} // namespace lang
