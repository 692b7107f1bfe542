#include "convert/CompleteOutput.h"

#include "engine/AudioFileFormat.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"
#include "platform/Path.h"

#include <QLatin1String>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <sys/stat.h>

namespace convert {

namespace {

//! What an output of each format is, by format index: the container and the
//! codec as the engine names them, and how much shorter or longer than its
//! input a whole output decodes, in samples at its own rate. That is one
//! frame of the codec, where the encoder pads the last one or cuts it off;
//! MP3s without an encoder tag (made by earlier versions, which fed lame's
//! output through a pipe) decode with the encoder's priming (576 samples)
//! and up to two frames of padding more.
struct OutputKind {
    const char* container;
    const char* codec; // a prefix for WAV, whose sample format follows the input
    int samplesShorter;
    int samplesLonger;
};

constexpr OutputKind kKinds[options::FormatOptions::kFormatCount] = {
    {"wav", "pcm_", 0, 0},
    {"asf", "wmav2", 2048, 2048},
    {"mp3", "mp3", 1152, 576 + 2 * 1152},
    {"ogg", "vorbis", 2048, 2048},
    {"flac", "flac", 4608, 4608},
    {"ogg", "opus", 960, 960},
    {"mov,mp4,m4a,3gp,3g2,mj2", "aac", 1024, 1024},
};

constexpr int kDefaultRate = 44100;
// How much of an output's end is decoded to see that it is all there.
constexpr double kTailSeconds = 1.0;
constexpr int kLastNumber = 10000;

//! The names BuildOutputPath() tries for a wanted name, in its order: the
//! name itself, with "_Converted" (unless it already ends so), then with
//! "_0" … "_10000". Made one at a time: the walk usually stops at the first.
class NameSequence {
public:
    explicit NameSequence(const QString& wanted) : m_next(wanted)
    {
        const platform::Path path(wanted);
        m_suffix = path.fileName().mid(path.stem().size()); // the extension with its dot
        m_stem = wanted.chopped(m_suffix.size());
        if (!m_stem.endsWith(QLatin1String("_Converted"))) {
            m_stem += QLatin1String("_Converted");
            m_number = -1;
        }
    }

    //! The next name; empty after the last.
    QString next()
    {
        QString name = m_next;
        if (m_number > kLastNumber)
            m_next.clear();
        else
            m_next = m_number < 0 ? m_stem + m_suffix : m_stem + u'_' + QString::number(m_number) + m_suffix;
        ++m_number;
        return name;
    }

private:
    QString m_next;
    QString m_stem;
    QString m_suffix;
    int m_number = 0; // -1 while the "_Converted" name is still to come
};

std::optional<struct stat> statOf(const QString& path, bool followLinks)
{
    struct stat st {};
    const QByteArray name = platform::nativeName(path);
    const int result = followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st);
    if (result != 0)
        return std::nullopt;
    return st;
}

bool exists(const QString& path)
{
    struct stat st {};
    return ::lstat(platform::nativeName(path).constData(), &st) == 0 || errno != ENOENT;
}

//! Whether `candidate` is the input itself, under its own name or another.
bool isTheInput(const QString& candidate, const QString& inputPath)
{
    if (candidate == inputPath)
        return true;
    const auto input = statOf(inputPath, true);
    const auto other = statOf(candidate, true);
    return input && other && input->st_dev == other->st_dev && input->st_ino == other->st_ino;
}

} // namespace

bool IsCompleteOutput(const QString& path, int format, double inputSeconds)
{
    if (format < 0 || format >= options::FormatOptions::kFormatCount || !(inputSeconds >= 0))
        return false;
    const auto st = statOf(path, false);
    if (!st || !S_ISREG(st->st_mode))
        return false;
    const OutputKind& kind = kKinds[format];
    const std::optional<engine::AudioFileFormat> found = engine::ReadAudioFileFormat(path);
    if (!found || found->container != QLatin1String(kind.container) ||
        !found->codec.startsWith(QLatin1String(kind.codec)))
        return false;
    if (found->seconds < 0)
        return false;
    const double seconds = found->seconds;
    const int rate = found->rate > 0 ? found->rate : kDefaultRate;
    const int frame = found->frameSamples;
    // Half a millisecond more: the input's length was rounded to its own samples.
    const double shorter = double(std::max(kind.samplesShorter, frame)) / rate + 0.0005;
    const double longer = double(std::max(kind.samplesLonger, frame)) / rate + 0.0005;
    if (seconds < inputSeconds - shorter || seconds > inputSeconds + longer)
        return false;
    // What the length says must be there: the last second decodes (a header
    // tells the length the file was meant to have, not the bytes it holds).
    const double tail = std::min(kTailSeconds, seconds);
    const std::int64_t decoded = engine::DecodedFramesFrom(path, rate, std::llround((seconds - tail) * rate));
    return decoded >= 0 && double(decoded) / rate >= tail - shorter;
}

QString FindCompleteOutput(const QString& wanted, const QString& inputPath, int format, double inputSeconds,
                           const std::function<bool(const QString&)>& claimed)
{
    NameSequence names(wanted);
    for (QString candidate = names.next(); !candidate.isEmpty(); candidate = names.next()) {
        if (!exists(candidate))
            break; // BuildOutputPath() would take this one: no later name is the row's
        if (isTheInput(candidate, inputPath) || (claimed && claimed(candidate)))
            continue;
        if (IsCompleteOutput(candidate, format, inputSeconds))
            return candidate;
    }
    return {};
}

} // namespace convert
