// FLAC, Opus and AAC conversion of a batch against the matching ffmpeg command.
//
// Makes (once, cached under /tmp) a batch of FLAC, MP3 and Ogg Vorbis inputs,
// an hour of audio in all by default, then converts the whole batch with the
// options' defaults three ways and times each against its reference:
//   FLAC: ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a flac -compression_level 5 -sample_fmt s32|s16 OUT.flac
//         (the bit depth we keep: the FLAC inputs are 24-bit, the lossy ones
//         give 16 bits; ffmpeg alone would make 24-bit files of those too)
//   Opus: ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a libopus -b:a 128k -application audio -ar 48000 OUT.opus
//   AAC:  ConvertToFLAC_OPUS_AAC  vs  ffmpeg -i IN -c:a aac -b:a 192k OUT.m4a
// Each file is converted both ways back to back, best of `--runs` (default 1),
// so the load of other programs on the machine hits both sides alike. Prints
// the seconds and the ratio ours ÷ reference per format (target: at most 1.05).
//
// Usage: ffmpeg_formats_bench [--runs N] [--minutes M] [--format flac|opus|m4a]

#include "convert/ConversionSession.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "engine/AudioEngine.h"
#include "filelist/FileList.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using options::FormatOptions;

const QString kCache = QStringLiteral("/tmp/tonemill-ffmpeg-formats-bench");

//! Lets events run, answers nothing: conversions only yield.
class BenchDesktop : public Desktop {
public:
    Answer messageBox(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
    void processEvents() override { QCoreApplication::processEvents(); }
    void dragWindow() override {}
};

bool run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(-1))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

//! A stereo mix of a tone sweep and soft noise, so the encoders have real work.
QString input(const QString& name, int seconds, const QStringList& codecOptions)
{
    const QString path = kCache + QLatin1Char('/') + name;
    if (QFileInfo(path).size() > 0)
        return path;
    QStringList args{QStringLiteral("-hide_banner"),
                     QStringLiteral("-loglevel"),
                     QStringLiteral("error"),
                     QStringLiteral("-y"),
                     QStringLiteral("-f"),
                     QStringLiteral("lavfi"),
                     QStringLiteral("-i"),
                     QStringLiteral("aevalsrc=0.4*sin(2*PI*(220+40*sin(t/3))*t)|0.4*sin(2*PI*(330+50*sin(t/5))*t)"
                                    ":s=44100:d=%1")
                         .arg(seconds),
                     QStringLiteral("-f"),
                     QStringLiteral("lavfi"),
                     QStringLiteral("-i"),
                     QStringLiteral("anoisesrc=colour=pink:sample_rate=44100:amplitude=0.08:duration=%1").arg(seconds),
                     QStringLiteral("-filter_complex"),
                     QStringLiteral("amix=inputs=2,aformat=channel_layouts=stereo")};
    args += codecOptions;
    args << path;
    std::fprintf(stderr, "making %s\n", qPrintable(path));
    if (!run(QStringLiteral("ffmpeg"), args)) {
        QFile::remove(path);
        return {};
    }
    return path;
}

double seconds(const std::function<bool()>& work, bool* ok)
{
    QElapsedTimer timer;
    timer.start();
    *ok = work() && *ok;
    return timer.nsecsElapsed() / 1e9;
}

//! The ffmpeg options that make of `input` what the format's defaults make.
QStringList referenceOptions(int format, const QString& input)
{
    switch (format) {
    case FormatOptions::FLAC:
        return {QStringLiteral("-c:a"),
                QStringLiteral("flac"),
                QStringLiteral("-compression_level"),
                QStringLiteral("5"),
                QStringLiteral("-sample_fmt"),
                input.endsWith(QStringLiteral(".flac")) ? QStringLiteral("s32") : QStringLiteral("s16")};
    case FormatOptions::OPUS:
        return {QStringLiteral("-c:a"), QStringLiteral("libopus"),      QStringLiteral("-b:a"),
                QStringLiteral("128k"), QStringLiteral("-application"), QStringLiteral("audio"),
                QStringLiteral("-ar"),  QStringLiteral("48000")};
    default:
        return {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("192k")};
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int runs = 1;
    int minutes = 60;
    QString only; // one format by its extension, or all three
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--runs"))
            runs = std::max(1, arguments[i + 1].toInt());
        else if (arguments[i] == QStringLiteral("--minutes"))
            minutes = std::max(1, arguments[i + 1].toInt());
        else if (arguments[i] == QStringLiteral("--format"))
            only = arguments[i + 1];
    }
    for (const QString& name : FormatModuleNames())
        BASS_PluginLoad(name.toLatin1().constData(), 0);

    QDir().mkpath(kCache);
    // Nine files, three of each input format, of slightly different lengths.
    QStringList inputs;
    const int base = minutes * 60 / 9;
    const QList<std::pair<QString, QStringList>> kinds = {
        {QStringLiteral("flac"), {QStringLiteral("-c:a"), QStringLiteral("flac")}},
        {QStringLiteral("mp3"),
         {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("192k")}},
        {QStringLiteral("ogg"),
         {QStringLiteral("-c:a"), QStringLiteral("libvorbis"), QStringLiteral("-q:a"), QStringLiteral("5")}},
    };
    for (int i = 0; i < 3; ++i) {
        for (const auto& [extension, codec] : kinds) {
            const int length = std::max(1, base - 10 + 10 * i);
            const QString path = input(QStringLiteral("in%1_%2s.%3").arg(i).arg(length).arg(extension), length, codec);
            if (path.isEmpty()) {
                std::fprintf(stderr, "cannot make the inputs (is ffmpeg installed?)\n");
                return 1;
            }
            inputs << path;
        }
    }
    QTemporaryDir out;
    BenchDesktop desktop;
    ConversionState state;
    FormatOptions options;
    auto list = std::make_unique<FileList>();
    ConversionSession session(desktop, state, options, [&] { return list.get(); });
    session.setYieldInterval(10); // as the batch does
    state.bConverting = true;

    bool ok = true;
    int serial = 0;
    auto outPath = [&](const QString& extension) {
        return out.filePath(QStringLiteral("o%1.%2").arg(serial++).arg(extension));
    };
    // Output bytes of each side, to show both did the whole work.
    qint64 oursBytes = 0;
    qint64 referenceBytes = 0;

    std::printf("ffmpeg_formats_bench: %lld files, %d min of audio, best of %d runs per file\n",
                static_cast<long long>(inputs.size()), minutes, runs);
    std::printf("%-6s %10s %14s %7s %12s %12s\n", "format", "ours (s)", "reference (s)", "ratio", "ours (MB)",
                "ref. (MB)");
    for (const int format : {FormatOptions::FLAC, FormatOptions::OPUS, FormatOptions::AAC}) {
        options.optFileFormat(format).click();
        const QString extension = format == FormatOptions::FLAC   ? QStringLiteral("flac")
                                  : format == FormatOptions::OPUS ? QStringLiteral("opus")
                                                                  : QStringLiteral("m4a");
        if (!only.isEmpty() && only != extension)
            continue;
        double oursTotal = 0;
        double referenceTotal = 0;
        oursBytes = 0;
        referenceBytes = 0;
        for (const QString& in : inputs) {
            double bestOurs = 1e30;
            double bestReference = 1e30;
            for (int r = 0; r < runs; ++r) {
                const QString mine = outPath(extension);
                bestOurs = std::min(bestOurs, seconds(
                                                  [&] {
                                                      ConvertToFLAC_OPUS_AAC(session, in, mine);
                                                      return QFileInfo(mine).size() > 0;
                                                  },
                                                  &ok));
                oursBytes += QFileInfo(mine).size();
                QFile::remove(mine);

                const QString target = outPath(extension);
                const QStringList args = QStringList{QStringLiteral("-v"), QStringLiteral("error"),
                                                     QStringLiteral("-y"), QStringLiteral("-i"), in} +
                                         referenceOptions(format, in) + QStringList{target};
                bestReference =
                    std::min(bestReference, seconds([&] { return run(QStringLiteral("ffmpeg"), args); }, &ok));
                referenceBytes += QFileInfo(target).size();
                QFile::remove(target);
            }
            oursTotal += bestOurs;
            referenceTotal += bestReference;
        }
        std::printf("%-6s %10.2f %14.2f %7.3f %12.1f %12.1f\n", qPrintable(extension.toUpper()), oursTotal,
                    referenceTotal, oursTotal / referenceTotal, oursBytes / 1e6 / runs, referenceBytes / 1e6 / runs);
        std::fflush(stdout);
    }
    if (!ok) {
        std::printf("some conversion failed\n");
        return 1;
    }
    return 0;
}
