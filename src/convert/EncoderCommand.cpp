#include "convert/EncoderCommand.h"

#include "options/FormatOptions.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace convert {

namespace {

// The slider goes down to -2 ("Low"), but oggenc takes -1 to 10 and refuses
// anything lower: the lowest quality it has stands in for -2.
constexpr int kLowestOggQuality = -1;

//! One argument quoted as the encoder hook splits command lines (see
//! engine::quoteCommandArgument), kept as text: a file name's bytes that are
//! not UTF-8 stay as they are until the line is turned into bytes.
QString quoted(const QString& argument)
{
    QString text = argument;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

//! The output path as the encoder must see it: never mistaken for an option
//! ("-" alone stands for standard output).
QString outputArgument(const QString& outFile)
{
    if (outFile == QLatin1String("-"))
        return outFile;
    return quoted(outFile.startsWith(u'-') ? QStringLiteral("./") + outFile : outFile);
}

QString mp3CommandLine(const options::FormatOptions& o, const QString& outFile, const QString& programFolder)
{
    QString line = encoderProgram(QStringLiteral("lame"), programFolder);
    if (o.optMP3CBR.Value())
        line += QStringLiteral(" --cbr -b ") + numberFromListText(o.cmbMP3CBitrate.Text());
    else if (o.optMP3ABR.Value())
        line += QStringLiteral(" --abr ") + numberFromListText(o.cmbMP3ABitrate.Text());
    else
        line += QStringLiteral(" -V ") + QString::number(9 - o.SliderMP3VBR.Value());
    // With no mode chosen the encoder keeps its own default mode, rather than
    // taking the next option for a mode letter.
    const QString mode = o.cmbMP3StereoMode.Text().left(1).toLower();
    if (!mode.isEmpty())
        line += QStringLiteral(" -m ") + mode;
    line += QStringLiteral(" --resample ") + numberFromListText(o.cmbMP3Freq.Text());
    line += QStringLiteral(" -q ") + QString::number(9 - o.SliderMP3EncoderQuality.Value());
    line += QStringLiteral(" - ") + outputArgument(outFile);
    return line;
}

QString oggCommandLine(const options::FormatOptions& o, const QString& outFile, const QString& programFolder)
{
    QString line = encoderProgram(QStringLiteral("oggenc"), programFolder);
    if (o.optOGGVBR.Value())
        line += QStringLiteral(" -b ") + numberFromListText(o.cmbOGGVBitrate.Text()) + QStringLiteral(" --quality ") +
                QString::number(std::max(o.sliderOGG.Value(), kLowestOggQuality));
    else
        line += QStringLiteral(" --managed -b ") + numberFromListText(o.cmbOGGCBitrate.Text());
    line += QStringLiteral(" - -o ") + outputArgument(outFile);
    return line;
}

} // namespace

QString numberFromListText(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString whole;
    QString fraction;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9')
            (point ? fraction : whole) += c;
        else if (c == u'.' && !point)
            point = true;
        else
            break;
    }
    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    while (!fraction.isEmpty() && fraction.back() == u'0')
        fraction.chop(1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    return fraction.isEmpty() ? whole : whole + u'.' + fraction;
}

QString encoderProgram(const QString& name, const QString& programFolder)
{
    const QString beside = programFolder + u'/' + name;
    const platform::FileStatus status = platform::fileStatus(beside);
    if (!programFolder.isEmpty() && status.kind == platform::FileKind::Regular && status.executable)
        return quoted(beside);
    return name;
}

QString BuildEncoderCommandLine(const options::FormatOptions& options, const QString& outFile,
                                const QString& programFolder)
{
    if (options.optFileFormat(options::FormatOptions::MP3).Value())
        return mp3CommandLine(options, outFile, programFolder);
    if (options.optFileFormat(options::FormatOptions::OGG).Value())
        return oggCommandLine(options, outFile, programFolder);
    return {};
}

} // namespace convert
