// Any bytes as a language file: the reader finds (or misses) a value the same
// way key by key and all at once, and a value it gives is never cut inside a
// character.
#include "lang/ProfileReader.h"
#include "platform/TextEncoding.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView text(data, static_cast<qsizetype>(size));
    const QByteArrayView section("Tonemill");
    const bool utf8File = platform::isValidUtf8(text);
    const auto all = lang::ProfileReader::sectionValues(text, section);
    for (auto entry = all.cbegin(); entry != all.cend(); ++entry) {
        const auto one = lang::ProfileReader::findValue(text, section, entry.key());
        if (!one || *one != entry.value())
            std::abort();
        // A value is cut to the lookup's buffer, never inside a character.
        const QString value = lang::ProfileReader::valueText(*one, utf8File, 500);
        if (utf8File ? value.toUtf8().size() > 499 : value.size() > 499)
            std::abort();
    }
    if (lang::ProfileReader::cutUtf8(text, 7).size() > 7)
        std::abort();
    return 0;
}
