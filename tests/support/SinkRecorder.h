#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace testsupport {

//! What a recording sounds like: its loudness and the frequency of its left
//! channel (from the periods between its rising zero crossings, so that a
//! moment of silence does not lower it).
struct ToneAnalysis {
    double rms = 0;
    double frequency = 0;
};

//! Analyses interleaved signed 16-bit stereo PCM at 44100 Hz.
ToneAnalysis analyseTone(const QByteArray& pcm);

//! Loudness below which a recording counts as silence.
constexpr double kSilenceRms = 100;

//! A null sink of this test program's own on the sound server, with a
//! recording of its monitor: what the server really played into it. Sinks
//! of their own keep tests that run side by side (and anything else on the
//! server) out of each other's recordings. While it exists, the engine's
//! default output is that sink (TONEMILL_AUDIO_DEVICE).
class SinkRecorder {
public:
    SinkRecorder() = default;
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;
    //! Stops recording and removes the sink.
    ~SinkRecorder();

    //! Makes the sink and starts recording. False, with the reason in
    //! error(), when no sound server answers or parec cannot record.
    bool start();
    QString error() const { return m_error; }
    QString sink() const { return m_sink; }

    //! What the monitor delivers during the next `ms` milliseconds; older
    //! audio is dropped.
    QByteArray capture(int ms);
    //! Lets time pass while reading the monitor: a monitor left unread backs
    //! up and later hands over stale audio.
    void wait(int ms) { capture(ms); }

    //! The hint a test that needs a sound server gives when it skips.
    static const char* skipHint();

private:
    QProcess m_recorder;
    QString m_module; // the null sink's module index
    QString m_sink;
    QString m_error;
};

} // namespace testsupport
