#include "convert/RowLoudness.h"

#include "convert/ConversionSession.h"
#include "convert/DecodeProgress.h"
#include "engine/AudioEngine.h"
#include "filelist/MeasuredLoudness.h"
#include "loudness/AlbumLoudness.h"
#include "loudness/GainChannel.h"
#include "loudness/LoudnessStore.h"
#include "loudness/ReplayGainFields.h"
#include "options/FormatOptions.h"
#include "tags/WriteTagFields.h"

#include <vector>

namespace convert {

namespace {

constexpr DWORD kMeasureBytes = 0x40000;
// Nothing that is normalised may come closer to full scale than this.
constexpr double kCeilingDbtp = -1.0;

//! How far below the ceiling the limiter holds the samples a lossy encoder
//! gets, in dB: at its default quality, each format's decoded peaks rose up
//! to this much less 0.2 to 0.3 dB above its input's, on dense audio (pink
//! noise, tones with noise bursts) normalised to -8 LUFS
//! (bench/decoded_peak_bench), so that the decoded output stays at or below
//! the ceiling. Audio with much more energy near 20 kHz can rise further
//! (white noise through Opus: 3.9 dB), though not to full scale.
double codecHeadroomDb(tags::TagFormat format)
{
    switch (format) {
    case tags::TagFormat::Mp3:
        return 0.6;
    case tags::TagFormat::Mp4:
        return 1.5;
    case tags::TagFormat::Ogg:
    case tags::TagFormat::Wma:
        return 2.3;
    case tags::TagFormat::Opus:
        return 2.4;
    case tags::TagFormat::Wav:
    case tags::TagFormat::Flac:
        break;
    }
    return 0.0;
}

} // namespace

QString ReplayGainTagFailure()
{
    return QStringLiteral("the ReplayGain tags could not be written");
}

RowLoudness::RowLoudness(ConversionSession& session, const QString& origfile, tags::TagFormat format, DWORD decodeFlags)
    : m_session(session), m_origfile(origfile), m_format(format), m_flags(decodeFlags)
{
    // One pass until a measuring pass is needed; a session converts many rows.
    m_session.setPass(1, 1);
}

RowLoudness::~RowLoudness() = default;

int RowLoudness::variant(DWORD decodeFlags)
{
    return static_cast<int>(decodeFlags & (BASS_STREAM_DOWNMIX | BASS_SAMPLE_FLOAT));
}

std::optional<loudness::LoudnessAnalysis> RowLoudness::measureFirst(const QString& path, bool& stopped)
{
    const loudness::LoudnessStore store;
    if (std::optional<loudness::LoudnessAnalysis> stored = store.find(path, variant(m_flags)))
        return stored;

    m_session.setPass(1, 2);
    m_session.setReason(filelist::RowReason::coded(filelist::RowReason::Code::MeasuringPass));
    m_measuringPass = true;
    const HSTREAM stream = engine::OpenStream(false, path, 0, 0, m_flags | BASS_STREAM_DECODE);
    if (stream == 0)
        return std::nullopt; // the conversion itself says why
    BASS_CHANNELINFO info;
    BASS_ChannelGetInfo(stream, &info);
    loudness::LoudnessMeter meter(info);
    std::vector<char> buffer(kMeasureBytes);
    DecodeProgress progress(stream);
    bool whole = true;
    while (BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kMeasureBytes);
        if (got == DWORD(-1)) {
            whole = false;
            break;
        }
        meter.add(buffer.data(), got);
        m_session.yield();
        progress.report(m_session);
        if (m_session.cancelRequested()) {
            stopped = true;
            break;
        }
    }
    BASS_StreamFree(stream);
    if (stopped || !whole || !meter.usable())
        return std::nullopt;
    store.keep(path, variant(m_flags), meter.analysis());
    return meter.analysis();
}

bool RowLoudness::prepare()
{
    const options::FormatOptions& options = m_session.options();
    if (!options.chkNormalize.Value())
        return true;

    bool stopped = false;
    std::optional<loudness::LoudnessFigures> before;
    loudness::AlbumLoudness* albums = m_session.albums();
    if (options.optNormalizeAlbum.Value() && albums)
        before = albums->albumBeforeGain(
            m_session.albumRow(),
            [this](const QString& path, bool& wasStopped) { return measureFirst(path, wasStopped); },
            [this] { return m_session.cancelRequested(); });
    else if (std::optional<loudness::LoudnessAnalysis> analysis = measureFirst(m_origfile, stopped))
        before = loudness::LoudnessFigures::of(*analysis);
    if (stopped || m_session.cancelRequested()) {
        m_session.setOutcome(ConversionSession::Outcome::Cancelled);
        return false;
    }
    // Silence, or a file that cannot be measured, keeps its level.
    m_gain = before && before->measurable() ? options.sliderNormalizeTarget.Value() - before->integrated : 0.0;
    if (m_measuringPass) {
        m_session.setPass(2, 2);
        m_session.setReason(filelist::RowReason::coded(filelist::RowReason::Code::ConvertingPass));
    }
    return true;
}

bool RowLoudness::attach(HSTREAM stream)
{
    if (m_gain && !loudness::applyGainToDecodingStream(stream, *m_gain, kCeilingDbtp - codecHeadroomDb(m_format)))
        return false;
    BASS_CHANNELINFO info;
    if (!BASS_ChannelGetInfo(stream, &info))
        return false;
    m_meter = std::make_unique<loudness::LoudnessMeter>(info);
    return true;
}

bool RowLoudness::tag(const QString& temporaryPath)
{
    if (!m_meter || !m_session.options().chkReplayGain.Value())
        return true;
    return tags::WriteTagFields(temporaryPath, m_format,
                                loudness::ReplayGainFields(m_format, loudness::GainScope::Track,
                                                           loudness::LoudnessFigures::of(m_meter->analysis())));
}

void RowLoudness::done()
{
    if (!m_meter || !m_meter->usable())
        return;
    auto measured = std::make_shared<loudness::MeasuredOutput>();
    measured->analysis = m_meter->analysis();
    measured->format = m_format;
    measured->writeTags = m_session.options().chkReplayGain.Value();
    const loudness::LoudnessFigures figures = loudness::LoudnessFigures::of(measured->analysis);
    m_session.setLoudness({figures.integrated, figures.truePeakDb()});
    // What was measured without a gain is what a later normalising of the
    // same file would measure first.
    if (!m_gain)
        loudness::LoudnessStore().keep(m_origfile, variant(m_flags), measured->analysis);
    m_session.measured = std::move(measured);
}

} // namespace convert
