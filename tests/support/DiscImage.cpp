#include "support/DiscImage.h"

#include "support/Fixtures.h"

#include <QTemporaryDir>

namespace testsupport {

namespace {

constexpr int kFramesPerSector = 588;

//! `sectors` of a sine tone of `frequency` Hz, made by sox as raw CD audio.
QByteArray tone(const QString& folder, int sectors, double frequency)
{
    const QString path = folder + QStringLiteral("/tone.raw");
    // The rate and channels stand before "-n" too: sox synthesises at the
    // input's rate, and would resample a tone made at its default one.
    const QStringList args = {QStringLiteral("-r"),
                              QStringLiteral("44100"),
                              QStringLiteral("-c"),
                              QStringLiteral("2"),
                              QStringLiteral("-n"),
                              QStringLiteral("-b"),
                              QStringLiteral("16"),
                              QStringLiteral("-e"),
                              QStringLiteral("signed-integer"),
                              QStringLiteral("-L"),
                              QStringLiteral("-t"),
                              QStringLiteral("raw"),
                              path,
                              QStringLiteral("synth"),
                              QStringLiteral("%1s").arg(qint64(sectors) * kFramesPerSector),
                              QStringLiteral("sine"),
                              QString::number(frequency),
                              QStringLiteral("vol"),
                              QStringLiteral("0.5")};
    if (runProgram(QStringLiteral("sox"), args) != 0)
        return {};
    return readFile(path);
}

} // namespace

bool DiscImage::make(const QString& binPath, const std::vector<Track>& tracks, int hidden)
{
    QTemporaryDir scratch;
    if (!scratch.isValid() || tracks.empty())
        return false;
    m_tracks = tracks;
    m_starts.clear();
    m_bytes.clear();
    if (hidden > 0)
        m_bytes += tone(scratch.path(), hidden, 97);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        m_starts.push_back(m_bytes.size() / kSectorBytes);
        const QByteArray audio = tone(scratch.path(), tracks[i].sectors, 220.0 + 110.0 * double(i));
        if (audio.size() != qsizetype(tracks[i].sectors) * kSectorBytes)
            return false;
        m_bytes += audio;
    }
    return writeFile(binPath, m_bytes);
}

QByteArray DiscImage::track(int number) const
{
    const std::size_t i = std::size_t(number - 1);
    const qint64 start = m_starts.at(i) * kSectorBytes;
    const qint64 end = i + 1 < m_starts.size() ? m_starts[i + 1] * kSectorBytes : m_bytes.size();
    return m_bytes.mid(start, end - start);
}

QString DiscImage::msf(qint64 sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}

QByteArray DiscImage::sheet(const QString& fileName, const QString& fileType) const
{
    QString text = QStringLiteral("REM GENRE \"Rock\"\nREM DATE 2001\nPERFORMER \"Band\"\nTITLE \"Album\"\n");
    text += QStringLiteral("FILE \"%1\" %2\n").arg(fileName, fileType);
    for (std::size_t i = 0; i < m_tracks.size(); ++i) {
        const int number = int(i + 1);
        text += QStringLiteral("  TRACK %1 AUDIO\n").arg(number, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("    TITLE \"Title %1\"\n    PERFORMER \"Artist %1\"\n").arg(number);
        if (i == 0 && m_starts[0] > 0)
            text += QStringLiteral("    INDEX 00 00:00:00\n");
        if (i > 0 && m_tracks[i].gap > 0)
            text += QStringLiteral("    INDEX 00 %1\n").arg(msf(m_starts[i] - m_tracks[i].gap));
        text += QStringLiteral("    INDEX 01 %1\n").arg(msf(m_starts[i]));
    }
    return text.toUtf8();
}

} // namespace testsupport
