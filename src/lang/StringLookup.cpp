#include "lang/StringLookup.h"

#include "lang/LanguageTexts.h"
#include "lang/ProfileReader.h"
#include "platform/FileName.h"
#include "platform/ProgramFolder.h"

#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace lang {

namespace {

// The lookup's buffer: 499 bytes of text and a terminator.
constexpr qsizetype kBufferSize = 500;

//! The language file in memory, with what it was read from: its path and the
//! identity of the file then. A lookup reads the file again only when the
//! choice names another file or the file itself was replaced or changed.
struct LoadedFile {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    struct timespec modified {};
    std::shared_ptr<const LanguageTexts> texts;

    bool describes(const QString& wanted, const struct stat& st, bool exists) const
    {
        if (!texts || path != wanted)
            return false;
        if (!exists)
            return size < 0;
        return device == st.st_dev && inode == st.st_ino && size == st.st_size &&
               modified.tv_sec == st.st_mtim.tv_sec && modified.tv_nsec == st.st_mtim.tv_nsec;
    }
};

std::mutex g_loadedMutex;
LoadedFile g_loaded;

std::shared_ptr<const LanguageTexts> currentTexts()
{
    const QString path = languageFilePath();
    struct stat st {};
    const bool exists = ::stat(platform::nativeName(path).constData(), &st) == 0;
    std::lock_guard lock(g_loadedMutex);
    if (!g_loaded.describes(path, st, exists)) {
        g_loaded.path = path;
        g_loaded.device = exists ? st.st_dev : 0;
        g_loaded.inode = exists ? st.st_ino : 0;
        g_loaded.size = exists ? st.st_size : -1;
        g_loaded.modified = exists ? st.st_mtim : timespec{};
        g_loaded.texts = std::make_shared<const LanguageTexts>(path, QByteArrayLiteral("Tonemill"));
    }
    return g_loaded.texts;
}

} // namespace

QString sLanguageFile;

QString languageFilePath()
{
    return platform::programFolder() + QStringLiteral("/Lang/") + sLanguageFile;
}

QString SetCaptionfromINI(const QString& id, const QString& fallback)
{
    const std::optional<QString> value = currentTexts()->text(id, kBufferSize);
    const QString text = value ? *value : ProfileReader::defaultText(fallback, kBufferSize);
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

QLocale numberLocale()
{
    return QLocale(caption(StringId::QtTranslation).trimmed());
}

} // namespace lang
