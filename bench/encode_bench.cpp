// MP3, OGG and WMA conversion of a batch against ffmpeg-based pipelines.
//
// Makes (once, cached under /tmp) a batch of FLAC, MP3 and Ogg Vorbis inputs,
// about 25 minutes of audio in all, then converts the whole batch with the
// window's default options three ways and times each against its reference:
//   MP3: ConvertToMP3_OGG   vs  ffmpeg -i IN -f wav - | lame <same options> - OUT
//   OGG: ConvertToMP3_OGG   vs  ffmpeg -i IN -f wav - | oggenc <same options> - -o OUT
//   WMA: ConvertToWMA       vs  ffmpeg -i IN -c:a wmav2 -b:a <same rate> OUT
// Each file is converted both ways back to back, best of `--runs` (default 2),
// so the load of other programs on the machine hits both sides alike. Prints
// the seconds and the ratio ours ÷ reference per format (target: at most 1.05).
//
// Usage: encode_bench [--runs N] [--minutes M]

#include "convert/ConversionSession.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWMA.h"
#include "convert/EncoderCommand.h"
#include "convert/WmaBitrateList.h"
#include "engine/AudioEngine.h"
#include "engine/EncoderCommandLine.h"
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

const QString kCache = QStringLiteral("/tmp/tonemill-encode-bench");

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

//! `decoder` piped into `encoder`, both started without a shell.
bool runPipeline(const QStringList& decoder, const QStringList& encoder)
{
    QProcess first;
    QProcess second;
    first.setStandardOutputProcess(&second);
    first.setStandardErrorFile(QProcess::nullDevice());
    second.setStandardOutputFile(QProcess::nullDevice());
    second.setStandardErrorFile(QProcess::nullDevice());
    first.start(decoder.front(), decoder.mid(1));
    second.start(encoder.front(), encoder.mid(1));
    if (!first.waitForStarted() || !second.waitForStarted())
        return false;
    first.waitForFinished(-1);
    second.waitForFinished(-1);
    return first.exitCode() == 0 && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
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

QStringList split(const QString& commandLine)
{
    QStringList out;
    for (const std::string& argument : engine::splitCommandLine(commandLine.toStdString()))
        out << QString::fromStdString(argument);
    return out;
}

double seconds(const std::function<bool()>& work, bool* ok)
{
    QElapsedTimer timer;
    timer.start();
    *ok = work() && *ok;
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int runs = 2;
    int minutes = 25;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--runs"))
            runs = std::max(1, arguments[i + 1].toInt());
        else if (arguments[i] == QStringLiteral("--minutes"))
            minutes = std::max(1, arguments[i + 1].toInt());
    }
    LoadFormatModules();

    QDir().mkpath(kCache);
    // Nine files, three of each format, of slightly different lengths.
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
            const int length = base - 10 + 10 * i;
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
    options::FormatOptions options;
    auto list = std::make_unique<FileList>();
    ConversionSession session(desktop, state, options, [&] { return list.get(); });
    state.bConverting = true;

    bool ok = true;
    int serial = 0;
    auto outPath = [&](const QString& extension) {
        return out.filePath(QStringLiteral("o%1.%2").arg(serial++).arg(extension));
    };
    // Output bytes of the last run of each side, to show both did the whole work.
    qint64 oursBytes = 0;
    qint64 referenceBytes = 0;
    auto ours = [&](const QString& in, const QString& extension, bool wma) {
        const QString target = outPath(extension);
        if (wma)
            ConvertToWMA(session, in, target);
        else
            ConvertToMP3_OGG(session, in, target);
        const qint64 size = QFileInfo(target).size();
        oursBytes += size;
        QFile::remove(target);
        return size > 0;
    };

    std::printf("encode_bench: %lld files, %d min of audio, best of %d runs per file\n",
                static_cast<long long>(inputs.size()), minutes, runs);
    std::printf("%-6s %10s %14s %7s %12s %12s\n", "format", "ours (s)", "reference (s)", "ratio", "ours (MB)",
                "ref. (MB)");
    for (const int format : {options::FormatOptions::MP3, options::FormatOptions::OGG, options::FormatOptions::WMA}) {
        options.optFileFormat(format).click();
        const QString extension = format == options::FormatOptions::MP3   ? QStringLiteral("mp3")
                                  : format == options::FormatOptions::OGG ? QStringLiteral("ogg")
                                                                          : QStringLiteral("wma");
        double oursTotal = 0;
        double referenceTotal = 0;
        oursBytes = 0;
        referenceBytes = 0;
        for (const QString& in : inputs) {
            double bestOurs = 1e30;
            double bestReference = 1e30;
            for (int r = 0; r < runs; ++r) {
                bestOurs = std::min(
                    bestOurs, seconds([&] { return ours(in, extension, format == options::FormatOptions::WMA); }, &ok));
                const QString target = outPath(extension);
                if (format == options::FormatOptions::WMA) {
                    convert::WmaBitrateList rates;
                    const int rate =
                        convert::GetWMABitRateFromQuality(rates, false, 44100, 2, options.sliderWMA.Value());
                    bestReference = std::min(
                        bestReference,
                        seconds(
                            [&] {
                                return run(QStringLiteral("ffmpeg"),
                                           {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                                            QStringLiteral("-i"), in, QStringLiteral("-c:a"), QStringLiteral("wmav2"),
                                            QStringLiteral("-b:a"), QString::number(rate), target});
                            },
                            &ok));
                } else {
                    const QStringList encoder = split(convert::BuildEncoderCommandLine(options, target, QString()));
                    const QStringList decoder = {QStringLiteral("ffmpeg"),
                                                 QStringLiteral("-v"),
                                                 QStringLiteral("error"),
                                                 QStringLiteral("-i"),
                                                 in,
                                                 QStringLiteral("-f"),
                                                 QStringLiteral("wav"),
                                                 QStringLiteral("-")};
                    bestReference =
                        std::min(bestReference, seconds([&] { return runPipeline(decoder, encoder); }, &ok));
                }
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
