#include "lang/LanguageTexts.h"

#include "lang/ProfileReader.h"
#include "platform/TextEncoding.h"

namespace lang {

LanguageTexts::LanguageTexts(const QString& path, const QByteArray& section)
{
    if (!ProfileReader::readFile(path, m_content))
        return;
    m_utf8 = platform::isValidUtf8(m_content);
    m_values = ProfileReader::sectionValues(m_content, section);
}

std::optional<QString> LanguageTexts::text(const QString& key, qsizetype bufferSize) const
{
    const auto found = m_values.constFind(ProfileReader::foldKey(key.toUtf8()));
    if (found == m_values.cend())
        return std::nullopt;
    return ProfileReader::valueText(*found, m_utf8, bufferSize);
}

} // namespace lang
