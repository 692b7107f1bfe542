#include "options/ListItemWords.h"

#include "lang/StringLookup.h"

#include <QLocale>

namespace options {

namespace {

using lang::StringId;

//! The number `english` ("44.1") as the current language writes it ("44,1").
QString localNumber(const QString& english)
{
    bool ok = false;
    const double value = english.toDouble(&ok);
    if (!ok)
        return english;
    const QLocale locale(lang::caption(StringId::QtTranslation).trimmed());
    return locale.toString(value, 'g', 6);
}

} // namespace

QString listItemWords(const QString& englishItem)
{
    struct Word {
        const char* english;
        StringId id;
    };
    static constexpr Word kWords[] = {
        {"Mono", StringId::Mono},
        {"Stereo", StringId::Stereo},
        {"Joint Stereo", StringId::JointStereo},
        {"Forced Joint Stereo", StringId::ForcedJointStereo},
        {"Dual Channels", StringId::DualChannels},
        {"Auto Sampling", StringId::AutoSampling},
    };
    for (const Word& word : kWords)
        if (englishItem == QLatin1String(word.english))
            return lang::caption(word.id);

    static const QLatin1String kKiloHertz(" KHz");
    static const QLatin1String kKbps(" Kbps");
    if (englishItem.endsWith(kKiloHertz))
        return lang::caption(StringId::KiloHertz).arg(localNumber(englishItem.chopped(kKiloHertz.size())));
    if (englishItem.endsWith(kKbps))
        return lang::caption(StringId::Kbps).arg(localNumber(englishItem.chopped(kKbps.size())));
    return englishItem;
}

QString bitrateWords(int kbps)
{
    return lang::caption(StringId::Kbps).arg(kbps);
}

QString withoutLoneLastWord(const QString& text)
{
    const qsizetype last = text.lastIndexOf(u' ');
    if (last <= 0 || text.indexOf(u' ') == last)
        return text;
    QString joined = text;
    joined[last] = QChar(0x00A0); // no-break space
    return joined;
}

} // namespace options
