#include "filelist/AddFilesFilters.h"

#include "lang/StringLookup.h"

#include <QStringList>

namespace filelist::addfiles {

QString patternList(const QStringList& extensions)
{
    QStringList patterns;
    patterns.reserve(extensions.size());
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    return patterns.join(u';');
}

namespace {

QStringList names(std::initializer_list<const char*> extensions)
{
    QStringList list;
    list.reserve(qsizetype(extensions.size()));
    for (const char* extension : extensions)
        list << QLatin1String(extension);
    return list;
}

platform::Desktop::FileFilter entry(const QString& description, std::initializer_list<const char*> extensions)
{
    return {description, patternList(names(extensions))};
}

} // namespace

QList<platform::Desktop::FileFilter> audioFileFilters()
{
    using lang::StringId;
    const std::initializer_list<const char*> all = {
        "cda", "cue", "wav", "wma", "mp1",  "mp2", "mp3", "mp4", "ogg", "aac",  "alac", "flac", "ac3", "spx",
        "mpc", "tta", "ape", "ofr", "midi", "adx", "mod", "mo3", "m4a", "opus", "aiff", "aif",  "wv",  "mka"};
    return {
        entry(lang::caption(StringId::AllAudioFormatsFilter), all),
        entry(lang::caption(StringId::CommonAudioFilter) + QStringLiteral("(*.wav,*.wma,*.mp3,*.ogg)"),
              {"wav", "wma", "mp3", "ogg"}),
        entry(QStringLiteral("MPEG Files(.mp1,*.mp2,*.mp3,*.mp4)"), {"mp1", "mp2", "mp3", "mp4"}),
        // On this system the tracks of a CD image or rip are listed by its CUE sheet.
        entry(QStringLiteral("CD Audio Tracks(*.cue)"), {"cue"}),
        entry(QStringLiteral("Windows Media Audio Files(*.wma)"), {"wma"}),
        entry(QStringLiteral("Ogg Vorbis Files(*.ogg)"), {"ogg"}),
        entry(QStringLiteral("MOD Files(*.mod)"), {"mod"}),
        entry(QStringLiteral("MO3 Files(*.mo3)"), {"mo3"}),
        entry(QStringLiteral("Apple Lossless Audio Codec Files(*.alac)"), {"alac"}),
        entry(QStringLiteral("Advanced Audio Coding Files(*.aac)"), {"aac"}),
        entry(QStringLiteral("Dolby Digital Files(*.ac3)"), {"ac3"}),
        entry(QStringLiteral("Apple Lossless Audio Codec Files(*.alac)"), {"alac"}),
        entry(QStringLiteral("Monkey's Audio Files(*.ape)"), {"ape"}),
        entry(QStringLiteral("OptimFROG Files(*.ofr)"), {"ofr"}),
        entry(QStringLiteral("Speex Files(*.spx)"), {"spx"}),
        entry(QStringLiteral("True Audio Files(*.tta)"), {"tta"}),
        entry(QStringLiteral("Free Lossless Audio Codec Files(*.flac)"), {"flac"}),
        entry(QStringLiteral("MIDI Files(*.midi)"), {"midi"}),
        entry(QStringLiteral("WavPack Encoded Files(*.wv)"), {"wv"}),
        entry(QStringLiteral("ADX Files(*.adx)"), {"adx"}),
        entry(QStringLiteral("MPEG-4 Audio Files(*.m4a)"), {"m4a"}),
        entry(QStringLiteral("Opus Files(*.opus)"), {"opus"}),
        entry(QStringLiteral("AIFF Files(*.aiff,*.aif)"), {"aiff", "aif"}),
        entry(QStringLiteral("Matroska Audio Files(*.mka)"), {"mka"}),
    };
}

QList<platform::Desktop::FileFilter> videoFileFilters()
{
    return {
        entry(lang::caption(lang::StringId::AllVideoFormatsFilter),
              {"wmv", "asf", "avi", "mpg", "mp2", "mpeg", "mp4", "mov", "dat", "mkv", "webm", "flv"}),
        entry(QStringLiteral("MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4)"), {"mpg", "mp2", "mpeg", "mp4"}),
        entry(QStringLiteral("Windows Media Files(*.wmv,*.asf)"), {"wmv", "asf"}),
        entry(QStringLiteral("AVI Files(*.avi)"), {"avi"}),
        entry(QStringLiteral("QuickTime Files-Ver2 or less(*.mov)"), {"mov"}),
        entry(QStringLiteral("Matroska Files(*.mkv)"), {"mkv"}),
        entry(QStringLiteral("WebM Files(*.webm)"), {"webm"}),
        entry(QStringLiteral("Flash Video Files(*.flv)"), {"flv"}),
    };
}

} // namespace filelist::addfiles
