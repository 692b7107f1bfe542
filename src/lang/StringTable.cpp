#include "lang/StringTable.h"

namespace lang {

QString englishText(StringId id)
{
    for (const StringEntry& entry : kStringTable)
        if (entry.id == id)
            return QString::fromUtf8(entry.englishText);
    return {};
}

QString idText(StringId id)
{
    return QString::number(static_cast<int>(id));
}

} // namespace lang
