#include "settings/EncoderFlags.h"

#include "options/FormatOptions.h"
#include "settings/SettingsTable.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

using options::FormatOptions;

namespace settings {

namespace {

//! The encoding modes of the formats that have them.
enum class Mode { Any, Cbr, Abr, Vbr };

//! How a flag's value becomes the stored text of its option.
enum class Reading {
    ListNumber,     //!< the number an item of the list starts with ("192" for "192 Kbps")
    SampleRate,     //!< "auto", or hertz against a list of kHz items ("44100" for "44.1 KHz")
    Slider,         //!< a whole number in the slider's range
    InvertedSlider, //!< a whole number in the slider's range, best first (lame's -V)
    Words,          //!< one of `words`, by its place
};

struct ModeOption {
    int format;
    Mode mode;
    const char* word;
    const char* option;
};

// In the order a mode is implied: the first in which every flag given applies.
constexpr ModeOption kModes[] = {
    {FormatOptions::MP3, Mode::Cbr, "cbr", "optMP3CBR"}, {FormatOptions::MP3, Mode::Abr, "abr", "optMP3ABR"},
    {FormatOptions::MP3, Mode::Vbr, "vbr", "optMP3VBR"}, {FormatOptions::OGG, Mode::Cbr, "cbr", "optOGGCBR"},
    {FormatOptions::OGG, Mode::Vbr, "vbr", "optOGGVBR"},
};

struct Rule {
    const char* flag;
    int format;
    Mode mode; //!< the mode the option belongs to; Any: every mode of the format
    const char* option;
    Reading reading;
    const char* words = nullptr; //!< Reading::Words: the values, blank-separated, by list index
};

// A new flag or format is a row here (and the flag's line in encoderFlags()).
constexpr Rule kRules[] = {
    {"--bitrate", FormatOptions::MP3, Mode::Cbr, "cmbMP3CBitrate", Reading::ListNumber},
    {"--bitrate", FormatOptions::MP3, Mode::Abr, "cmbMP3ABitrate", Reading::ListNumber},
    {"--quality", FormatOptions::MP3, Mode::Vbr, "SliderMP3VBR", Reading::InvertedSlider},
    {"--channels", FormatOptions::MP3, Mode::Any, "cmbMP3StereoMode", Reading::Words,
     "mono stereo joint forced-joint dual"},
    {"--sample-rate", FormatOptions::MP3, Mode::Any, "cmbMP3Freq", Reading::SampleRate},
    {"--bitrate", FormatOptions::OGG, Mode::Cbr, "cmbOGGCBitrate", Reading::ListNumber},
    {"--bitrate", FormatOptions::OGG, Mode::Vbr, "cmbOGGVBitrate", Reading::ListNumber},
    {"--quality", FormatOptions::OGG, Mode::Vbr, "sliderOGG", Reading::Slider},
    {"--quality", FormatOptions::WMA, Mode::Any, "sliderWMA", Reading::Slider},
    {"--compression", FormatOptions::FLAC, Mode::Any, "sliderFLACLevel", Reading::Slider},
    {"--bitrate", FormatOptions::OPUS, Mode::Any, "sliderOpusBitrate", Reading::Slider},
    {"--bitrate", FormatOptions::AAC, Mode::Any, "sliderAACBitrate", Reading::Slider},
};

const char* const kModeFlag = "--mode";

bool isFlag(const QString& given, const char* flag)
{
    return given == QLatin1String(flag);
}

QString nameOf(const QStringList& formatNames, int format)
{
    return formatNames.value(format, QString::number(format));
}

const char* modeWord(int format, Mode mode)
{
    for (const ModeOption& m : kModes)
        if (m.format == format && m.mode == mode)
            return m.word;
    return "";
}

//! The number a list item starts with ("44.1 KHz": 44.1); nothing without one.
std::optional<double> leadingNumber(const QString& item)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)"));
    const QRegularExpressionMatch match = number.match(item);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toDouble();
}

//! A whole number written in decimal; nothing for anything else.
std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

//! What `rule` stores for `value`, or why it cannot (in `error`).
std::optional<QString> storedValue(const FormatOptions& options, const Rule& rule, const QString& value,
                                   const QString& what, QString& error)
{
    const std::optional<table::AllowedValues> allowed = table::allowedValues(options, QString::fromLatin1(rule.option));
    if (!allowed)
        return std::nullopt;
    switch (rule.reading) {
    case Reading::ListNumber:
    case Reading::SampleRate: {
        const bool hertz = rule.reading == Reading::SampleRate;
        QStringList offered;
        const bool automatic = hertz && value.trimmed().compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0;
        bool ok = false;
        const double wanted = value.trimmed().toDouble(&ok);
        for (qsizetype i = 0; i < allowed->items.size(); ++i) {
            const std::optional<double> number = leadingNumber(allowed->items.at(i));
            if (!number) {
                offered << QStringLiteral("auto");
                if (automatic)
                    return QString::number(i);
                continue;
            }
            const double shown = hertz ? std::round(*number * 1000) : *number;
            offered << QString::number(shown, 'f', 0);
            if (ok && !automatic && std::abs(shown - wanted) < 1e-6)
                return QString::number(i);
        }
        error = QStringLiteral("%1 is one of %2").arg(what, offered.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    case Reading::Slider:
    case Reading::InvertedSlider: {
        const std::optional<int> number = wholeNumber(value);
        if (!number || *number < allowed->lowest || *number > allowed->highest) {
            error = QStringLiteral("%1 is a whole number from %2 to %3")
                        .arg(what)
                        .arg(rule.reading == Reading::InvertedSlider ? QStringLiteral("%1 (best)").arg(allowed->lowest)
                                                                     : QString::number(allowed->lowest))
                        .arg(allowed->highest);
            return std::nullopt;
        }
        const int stored =
            rule.reading == Reading::InvertedSlider ? allowed->highest - (*number - allowed->lowest) : *number;
        return QString::number(stored);
    }
    case Reading::Words: {
        const QStringList words = QString::fromLatin1(rule.words).split(u' ');
        const qsizetype index = words.indexOf(value.trimmed().toLower());
        if (index < 0 || index > allowed->highest) {
            error = QStringLiteral("%1 is one of %2").arg(what, words.join(QStringLiteral(", ")));
            return std::nullopt;
        }
        return QString::number(index);
    }
    }
    return std::nullopt;
}

//! Whether some rule of `format` sets `flag` in a mode of its own.
bool dependsOnMode(const QString& flag, int format)
{
    for (const Rule& rule : kRules)
        if (rule.format == format && rule.mode != Mode::Any && isFlag(flag, rule.flag))
            return true;
    return false;
}

const Rule* findRule(const QString& flag, int format, Mode mode)
{
    for (const Rule& rule : kRules)
        if (rule.format == format && isFlag(flag, rule.flag) && (rule.mode == Mode::Any || rule.mode == mode))
            return &rule;
    return nullptr;
}

//! Why no rule fits `flag` for `format` in `mode`.
QString notApplying(const QString& flag, int format, Mode mode, const QStringList& formatNames)
{
    QStringList modes;
    QStringList formats;
    for (const Rule& rule : kRules) {
        if (!isFlag(flag, rule.flag))
            continue;
        if (rule.format == format)
            modes << QLatin1String(modeWord(format, rule.mode));
        else if (!formats.contains(nameOf(formatNames, rule.format)))
            formats << nameOf(formatNames, rule.format);
    }
    if (!modes.isEmpty())
        return QStringLiteral("%1 applies to %2 with --mode %3, not %4")
            .arg(flag, nameOf(formatNames, format), modes.join(QStringLiteral(" or ")),
                 QLatin1String(modeWord(format, mode)));
    return QStringLiteral("%1 does not apply to %2 (it applies to %3)")
        .arg(flag, nameOf(formatNames, format), formats.join(QStringLiteral(", ")));
}

//! The mode `choices` ask for with `format`: given by --mode, or the first
//! in which every flag given applies; Any when none is asked for.
std::optional<Mode> chosenMode(int format, const EncoderChoices& choices, const QStringList& formatNames,
                               QString& error)
{
    QStringList words;
    for (const ModeOption& m : kModes)
        if (m.format == format)
            words << QLatin1String(m.word);
    if (const std::optional<QString> given = choices.value(kModeFlag)) {
        for (const ModeOption& m : kModes)
            if (m.format == format && given->trimmed().compare(QLatin1String(m.word), Qt::CaseInsensitive) == 0)
                return m.mode;
        error = words.isEmpty() ? QStringLiteral("--mode does not apply to %1 (it has no encoding modes)")
                                      .arg(nameOf(formatNames, format))
                                : QStringLiteral("--mode for %1 is one of %2")
                                      .arg(nameOf(formatNames, format), words.join(QStringLiteral(", ")));
        return std::nullopt;
    }
    QStringList flags;
    for (const auto& given : choices.given)
        if (dependsOnMode(given.first, format) && !flags.contains(given.first))
            flags << given.first;
    if (flags.isEmpty())
        return Mode::Any;
    for (const ModeOption& m : kModes) {
        if (m.format != format)
            continue;
        if (std::all_of(flags.cbegin(), flags.cend(),
                        [&](const QString& flag) { return findRule(flag, format, m.mode) != nullptr; }))
            return m.mode;
    }
    error =
        QStringLiteral("%1 do not go together for %2: choose with --mode %3")
            .arg(flags.join(QStringLiteral(" and ")), nameOf(formatNames, format), words.join(QStringLiteral(", ")));
    return std::nullopt;
}

} // namespace

const std::vector<EncoderFlag>& encoderFlags()
{
    static const std::vector<EncoderFlag> flags = {
        {"--mode", "cbr|abr|vbr",
         "constant, average or variable bitrate: mp3 has all three, ogg cbr and\n"
         "vbr; without it --bitrate alone means cbr and --quality alone vbr\n"},
        {"--bitrate", "KBPS",
         "the bitrate in kbit/s: mp3 cbr 32 to 320, mp3 abr 32 to 310 (the\n"
         "steps of the options page), ogg 64 to 320 (vbr: the nominal one),\n"
         "opus 32 to 256, m4a 64 to 320\n"},
        {"--quality", "Q",
         "variable-bitrate quality in the encoder's own scale: mp3 0 (best)\n"
         "to 9 (lame -V), ogg -2 to 10 (oggenc --quality, 10 best), wma 0 to\n"
         "100 (100 best)\n"},
        {"--compression", "N", "flac compression level, 0 (fastest) to 8 (smallest file)\n"},
        {"--channels", "MODE", "mp3 channel mode: mono, stereo, joint, forced-joint or dual\n"},
        {"--sample-rate", "HZ",
         "mp3 sampling rate: auto (the input's) or 8000, 11025, 12000, 16000,\n"
         "22050, 24000, 32000, 44100, 48000\n"},
    };
    return flags;
}

std::optional<QString> EncoderChoices::value(const char* flag) const
{
    std::optional<QString> found;
    for (const auto& [name, text] : given)
        if (isFlag(name, flag))
            found = text;
    return found;
}

std::optional<QStringList> encoderAssignments(const FormatOptions& options, int format, const EncoderChoices& choices,
                                              const QStringList& formatNames, QString& error)
{
    QStringList assignments;
    if (choices.empty())
        return assignments;
    const std::optional<Mode> mode = chosenMode(format, choices, formatNames, error);
    if (!mode)
        return std::nullopt;
    for (const ModeOption& m : kModes)
        if (m.format == format && m.mode == *mode)
            assignments << QStringLiteral("%1=True").arg(QLatin1String(m.option));

    for (const auto& [flag, value] : choices.given) {
        if (isFlag(flag, kModeFlag))
            continue;
        const Rule* rule = findRule(flag, format, *mode);
        if (!rule) {
            error = notApplying(flag, format, *mode, formatNames);
            return std::nullopt;
        }
        QString what = flag + u' ' + nameOf(formatNames, format);
        if (rule->mode != Mode::Any)
            what += u' ' + QLatin1String(modeWord(format, rule->mode));
        const std::optional<QString> stored = storedValue(options, *rule, value, what, error);
        if (!stored)
            return std::nullopt;
        assignments << QStringLiteral("%1=%2").arg(QLatin1String(rule->option), *stored);
    }
    return assignments;
}

} // namespace settings
