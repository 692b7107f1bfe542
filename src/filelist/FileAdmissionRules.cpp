#include "filelist/FileAdmissionRules.h"

#include "platform/Path.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace filelist {

namespace {

const QString& admittedExtensions()
{
    static const QString list = QStringLiteral(
        ".cda.wav.wma.mp1.mp2.mp3.mp4.ogg.aac.alac.flac.ac3.spx.mpc.tta.ape.ofr.midi.adx.wmv.asf.avi.mpg.mp2.mpeg.mp4."
        "mov.dat.m4a.opus.aiff.aif.wv.mkv.webm.mka.flv");
    return list;
}

QString lastThreeLower(const QString& path)
{
    return path.right(3).toLower();
}

} // namespace

QString NormaliseAdmissionPath(const QString& path)
{
    const QString twoSlashes = QStringLiteral("//");
    if (path.startsWith(twoSlashes))
        return path;
    QString result = path;
    result.replace(twoSlashes, QStringLiteral("/"));
    return result;
}

QString AdmissionExtension(const QString& path)
{
    // Unlike Path::extension(), a name that is only a dot and an extension
    // (".mp3") has one here: such a file is admitted as what it says it is.
    const QString name = platform::Path(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

bool HasAdmittedExtension(const QString& path)
{
    const QString extension = AdmissionExtension(path);
    if (extension.isEmpty())
        return false;
    return admittedExtensions().contains(u'.' + extension, Qt::CaseInsensitive);
}

QStringList AdmittedExtensions()
{
    QStringList extensions = admittedExtensions().split(u'.', Qt::SkipEmptyParts);
    extensions.removeDuplicates();
    return extensions;
}

bool IsCdTrackPath(const QString& path)
{
    return lastThreeLower(path) == QLatin1String("cda");
}

bool IsWindowsMediaPath(const QString& path)
{
    const QString tail = lastThreeLower(path);
    return tail == QLatin1String("wma") || tail == QLatin1String("asf") || tail == QLatin1String("wmv");
}

QString FormatFileSize(qint64 bytes, const QLocale& locale)
{
    if (bytes < 0)
        return {};
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" Bytes");

    qint64 unit = qint64(1) << 30;
    QString suffix = QStringLiteral(" GB");
    if (bytes < (qint64(1) << 20)) {
        unit = 1024;
        suffix = QStringLiteral(" KB");
    } else if (bytes < (qint64(1) << 30)) {
        unit = qint64(1) << 20;
        suffix = QStringLiteral(" MB");
    }

    // Hundredths of the unit, rounded half to even, in exact integer arithmetic:
    // whole units and the rest apart, so nothing overflows 64 bits.
    const qint64 rest = bytes % unit * 100;
    qint64 hundredths = bytes / unit * 100 + rest / unit;
    const qint64 remainder = rest % unit;
    if (remainder * 2 > unit || (remainder * 2 == unit && hundredths % 2 != 0))
        ++hundredths;

    const qint64 whole = qint64(hundredths / 100);
    const int fraction = int(hundredths % 100);
    QString text = QString::number(whole);
    if (fraction != 0) {
        text += locale.decimalPoint();
        if (fraction % 10 == 0)
            text += QString::number(fraction / 10);
        else
            text += QStringLiteral("%1").arg(fraction, 2, 10, QLatin1Char('0'));
    }
    return text + suffix;
}

QString FormatDuration(double seconds)
{
    qint64 whole = 0;
    // std::nearbyint rounds halves to the even neighbour in the default mode.
    if (std::isfinite(seconds) && seconds > 0)
        whole = qint64(std::nearbyint(std::min(seconds, 9.0e15)));
    return QStringLiteral("%1:%2").arg(whole / 60, 2, 10, QLatin1Char('0')).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

} // namespace filelist
