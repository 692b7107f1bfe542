#pragma once

#include "engine/ChannelRegistry.h"
#include "engine/PlaybackSource.h"

#include <QAudio>
#include <QAudioDevice>
#include <QObject>
#include <memory>
#include <mutex>
#include <unordered_map>

class QAudioSink;
class QTimer;

namespace engine {

//! Owns the audio sinks of playing channels. Lives on the output thread:
//! every method except state() must run there. Results are engine error
//! codes (BASS_OK on success).
class AudioOutputWorker : public QObject {
public:
    explicit AudioOutputWorker(const QAudioDevice& device);
    ~AudioOutputWorker() override;

    //! Starts or resumes `handle`. A paused channel resumes where it was, a
    //! stopped one plays on from its position; `restart`, or a channel that
    //! had reached its end, plays from the beginning.
    int play(DWORD handle, const std::shared_ptr<ChannelSlot>& slot, bool restart);
    int pause(DWORD handle);
    int stop(DWORD handle);
    void forget(DWORD handle);
    void stopAll();

    //! Safe from any thread.
    DWORD state(DWORD handle) const;

private:
    struct Output {
        std::shared_ptr<ChannelSlot> slot;
        std::unique_ptr<QAudioSink> sink;
        QIODevice* sinkInput = nullptr; // owned by the sink
        std::unique_ptr<PlaybackSource> source;
        std::vector<char> buffer;
        QByteArray pending; // read from the channel, not yet taken by the sink
    };

    int startOutput(DWORD handle, Output& output, bool restart);
    void closeOutput(Output& output);
    void feed();
    void feed(DWORD handle, Output& output);
    void setState(DWORD handle, DWORD state);

    QAudioDevice m_device;
    QTimer* m_feedTimer;
    std::unordered_map<DWORD, Output> m_outputs;
    mutable std::mutex m_stateMutex;
    std::unordered_map<DWORD, DWORD> m_states;
};

} // namespace engine
