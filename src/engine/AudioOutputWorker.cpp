#include "engine/AudioOutputWorker.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QTimer>

namespace engine {

namespace {
// Short enough that pause and stop are heard at once, long enough to ride
// out a busy moment of the machine.
constexpr int kBufferMilliseconds = 250;
constexpr int kFeedMilliseconds = 20;
} // namespace

// The sinks are fed in push mode from a timer on this thread: each round
// tops the sink's buffer up from the channel, and once the channel has ended
// the rounds watch the sink play out what it holds before the channel counts
// as stopped.
AudioOutputWorker::AudioOutputWorker(const QAudioDevice& device) : m_device(device), m_feedTimer(new QTimer(this))
{
    m_feedTimer->setTimerType(Qt::PreciseTimer);
    m_feedTimer->setInterval(kFeedMilliseconds);
    connect(m_feedTimer, &QTimer::timeout, this, [this] { feed(); });
}

AudioOutputWorker::~AudioOutputWorker()
{
    stopAll();
}

DWORD AudioOutputWorker::state(DWORD handle) const
{
    std::lock_guard lock(m_stateMutex);
    const auto it = m_states.find(handle);
    return it == m_states.end() ? BASS_ACTIVE_STOPPED : it->second;
}

void AudioOutputWorker::setState(DWORD handle, DWORD state)
{
    std::lock_guard lock(m_stateMutex);
    if (state == BASS_ACTIVE_STOPPED)
        m_states.erase(handle);
    else
        m_states[handle] = state;
}

void AudioOutputWorker::closeOutput(Output& output)
{
    if (output.sink)
        output.sink->stop();
    output.sinkInput = nullptr;
    output.sink.reset();
    output.source.reset();
    output.pending.clear();
}

int AudioOutputWorker::play(DWORD handle, const std::shared_ptr<ChannelSlot>& slot, bool restart)
{
    Output& output = m_outputs[handle];
    output.slot = slot;
    const DWORD current = state(handle);
    if (!restart && current == BASS_ACTIVE_PAUSED && output.sink) {
        output.sink->resume();
        setState(handle, BASS_ACTIVE_PLAYING);
        feed(handle, output);
        m_feedTimer->start();
        return BASS_OK;
    }
    if (!restart && current == BASS_ACTIVE_PLAYING)
        return BASS_OK;
    closeOutput(output);
    const int result = startOutput(handle, output, restart);
    if (result != BASS_OK) {
        closeOutput(output);
        setState(handle, BASS_ACTIVE_STOPPED);
    }
    return result;
}

int AudioOutputWorker::startOutput(DWORD handle, Output& output, bool restart)
{
    const BASS_CHANNELINFO info = output.slot->channel->info();
    {
        std::lock_guard lock(output.slot->mutex);
        Channel& channel = *output.slot->channel;
        if ((restart || channel.position() >= channel.length()) && !channel.rewind())
            return BASS_ERROR_POSITION;
    }

    QAudioFormat format;
    format.setSampleRate(int(info.freq));
    format.setChannelCount(int(info.chans));
    format.setSampleFormat((info.flags & BASS_SAMPLE_8BITS) ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    bool mixToStereo = false;
    if (!m_device.isFormatSupported(format)) {
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        mixToStereo = true;
        if (!m_device.isFormatSupported(format))
            return BASS_ERROR_FORMAT;
    }

    const bool loop = (output.slot->flags & BASS_SAMPLE_LOOP) != 0; // BASS_MUSIC_LOOP is the same bit
    output.source = std::make_unique<PlaybackSource>(output.slot, loop, mixToStereo);
    output.source->open(QIODevice::ReadOnly);
    output.sink = std::make_unique<QAudioSink>(m_device, format);
    output.sink->setBufferSize(format.bytesForDuration(kBufferMilliseconds * 1000));
    output.sinkInput = output.sink->start();
    if (!output.sinkInput || output.sink->error() != QAudio::NoError)
        return BASS_ERROR_DRIVER;
    setState(handle, BASS_ACTIVE_PLAYING);
    feed(handle, output);
    m_feedTimer->start();
    return BASS_OK;
}

void AudioOutputWorker::feed()
{
    bool busy = false;
    for (auto& [handle, output] : m_outputs) {
        if (output.sink && state(handle) == BASS_ACTIVE_PLAYING) {
            feed(handle, output);
            busy = true;
        }
    }
    if (!busy)
        m_feedTimer->stop();
}

void AudioOutputWorker::feed(DWORD handle, Output& output)
{
    QAudioSink& sink = *output.sink;
    if (sink.error() == QAudio::IOError || sink.error() == QAudio::FatalError || !output.sinkInput) {
        setState(handle, BASS_ACTIVE_STOPPED); // the sound server went away
        return;
    }
    const int frameBytes = sink.format().bytesPerFrame();
    qsizetype room = sink.bytesFree() / frameBytes * frameBytes;
    if (!output.pending.isEmpty()) {
        const qint64 written = output.sinkInput->write(output.pending.left(room));
        output.pending.remove(0, std::max<qint64>(written, 0));
        room -= std::max<qint64>(written, 0);
        if (!output.pending.isEmpty())
            return;
    }
    if (output.source->ended()) {
        // Everything is written: the end is reached once the sink has played it.
        if (room >= sink.bufferSize() / frameBytes * frameBytes || sink.state() == QAudio::IdleState)
            setState(handle, BASS_ACTIVE_STOPPED);
        return;
    }
    output.buffer.resize(static_cast<std::size_t>(sink.bufferSize()));
    while (room > 0 && !output.source->ended()) {
        const qint64 got =
            output.source->read(output.buffer.data(), std::min<qsizetype>(room, qsizetype(output.buffer.size())));
        if (got <= 0)
            break;
        const qint64 written = std::max<qint64>(output.sinkInput->write(output.buffer.data(), got), 0);
        if (written < got) {
            // Kept for the next round: a sink may take less than it offered.
            output.pending = QByteArray(output.buffer.data() + written, got - written);
            break;
        }
        room -= got;
    }
}

int AudioOutputWorker::pause(DWORD handle)
{
    const DWORD current = state(handle);
    if (current == BASS_ACTIVE_PAUSED)
        return BASS_ERROR_ALREADY;
    const auto it = m_outputs.find(handle);
    if (current != BASS_ACTIVE_PLAYING || it == m_outputs.end() || !it->second.sink)
        return BASS_ERROR_NOPLAY;
    it->second.sink->suspend();
    setState(handle, BASS_ACTIVE_PAUSED);
    return BASS_OK;
}

int AudioOutputWorker::stop(DWORD handle)
{
    const auto it = m_outputs.find(handle);
    if (it != m_outputs.end())
        closeOutput(it->second);
    setState(handle, BASS_ACTIVE_STOPPED);
    return BASS_OK;
}

void AudioOutputWorker::forget(DWORD handle)
{
    const auto it = m_outputs.find(handle);
    if (it != m_outputs.end()) {
        closeOutput(it->second);
        m_outputs.erase(it);
    }
    setState(handle, BASS_ACTIVE_STOPPED);
}

void AudioOutputWorker::stopAll()
{
    for (auto& entry : m_outputs)
        closeOutput(entry.second);
    m_outputs.clear();
    std::lock_guard lock(m_stateMutex);
    m_states.clear();
}

} // namespace engine
