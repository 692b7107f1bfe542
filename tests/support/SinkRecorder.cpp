#include "support/SinkRecorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace testsupport {

namespace {

QString commandOutput(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

ToneAnalysis analyseTone(const QByteArray& pcm)
{
    ToneAnalysis a;
    const auto* s = reinterpret_cast<const std::int16_t*>(pcm.constData());
    const qsizetype frames = pcm.size() / 4;
    if (frames == 0)
        return a;
    double sum = 0;
    std::vector<qsizetype> rising; // frames where the left channel turns positive
    bool positive = s[0] > 0;
    for (qsizetype i = 0; i < frames; ++i) {
        const int v = s[2 * i];
        sum += double(v) * v;
        if (!positive && v > 200) {
            positive = true;
            rising.push_back(i);
        } else if (positive && v < -200) {
            positive = false;
        }
    }
    a.rms = std::sqrt(sum / double(frames));
    if (rising.size() < 3)
        return a;
    // The frequency from the periods between crossings, leaving out the
    // longer spans where a busy machine let the output run dry for a moment.
    std::vector<qsizetype> periods;
    for (std::size_t i = 1; i < rising.size(); ++i)
        periods.push_back(rising[i] - rising[i - 1]);
    std::vector<qsizetype> sorted = periods;
    std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
    const double median = double(sorted[sorted.size() / 2]);
    double spanned = 0;
    int count = 0;
    for (const qsizetype period : periods) {
        if (double(period) <= median * 1.5) {
            spanned += double(period);
            ++count;
        }
    }
    a.frequency = count / (spanned / 44100.0);
    return a;
}

SinkRecorder::~SinkRecorder()
{
    if (m_recorder.state() != QProcess::NotRunning) {
        m_recorder.kill();
        m_recorder.waitForFinished(5000);
    }
    if (!m_module.isEmpty())
        commandOutput(QStringLiteral("pactl"), {QStringLiteral("unload-module"), m_module});
    if (!m_sink.isEmpty())
        qunsetenv("TONEMILL_AUDIO_DEVICE");
}

const char* SinkRecorder::skipHint()
{
    return "No sound server answers (pactl load-module failed): start one with "
           "'source scripts/sound-server.sh; start_sound_server'";
}

bool SinkRecorder::start()
{
    const QString name = QStringLiteral("tonemill_test_%1").arg(QCoreApplication::applicationPid());
    m_module =
        commandOutput(QStringLiteral("pactl"), {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                                                QStringLiteral("sink_name=") + name,
                                                QStringLiteral("sink_properties=device.description=") + name});
    if (m_module.isEmpty()) {
        m_error = QString::fromLatin1(skipHint());
        return false;
    }
    m_sink = name;
    qputenv("TONEMILL_AUDIO_DEVICE", m_sink.toUtf8());
    m_recorder.start(QStringLiteral("parec"),
                     {QStringLiteral("-d"), m_sink + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                      QStringLiteral("--latency-msec=20")});
    if (!m_recorder.waitForStarted(5000)) {
        m_error = QStringLiteral("parec could not record %1.monitor").arg(m_sink);
        return false;
    }
    // A fresh recording of an idle sink holds up the sink's next stream for
    // a second or so; let that pass once.
    capture(2000);
    return true;
}

QByteArray SinkRecorder::capture(int ms)
{
    m_recorder.readAllStandardOutput();
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        m_recorder.waitForReadyRead(20);
        out += m_recorder.readAllStandardOutput();
    }
    return out;
}

} // namespace testsupport
