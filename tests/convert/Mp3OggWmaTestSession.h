#pragma once

// What the conversion tests of the encoded formats share: a session over a one-row
// file list (OneRowSession), a program folder of their own (where the error log
// lands beside it), tone files and ffprobe read-backs.

#include "OneRowSession.h"
#include "filelist/RowWords.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace encodertest {

struct Probe {
    double duration = -1;
    int rate = 0;
    int channels = 0;
    qint64 bitRate = 0;
    QString codec;
    int bitsPerRawSample = 0;
    QJsonObject tags; // format-level tags as ffprobe names them
};

inline Probe probe(const QString& path)
{
    QByteArray out;
    const int rc = testsupport::runProgram(QStringLiteral("ffprobe"),
                                           {QStringLiteral("-v"), QStringLiteral("error"),
                                            QStringLiteral("-print_format"), QStringLiteral("json"),
                                            QStringLiteral("-show_format"), QStringLiteral("-show_streams"), path},
                                           &out);
    Probe p;
    if (rc != 0)
        return p;
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    const QJsonObject format = root.value(QStringLiteral("format")).toObject();
    p.duration = format.value(QStringLiteral("duration")).toString().toDouble();
    p.tags = format.value(QStringLiteral("tags")).toObject();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (!streams.isEmpty()) {
        const QJsonObject s = streams.first().toObject();
        p.rate = s.value(QStringLiteral("sample_rate")).toString().toInt();
        p.channels = s.value(QStringLiteral("channels")).toInt();
        p.bitRate = s.value(QStringLiteral("bit_rate")).toString().toLongLong();
        p.codec = s.value(QStringLiteral("codec_name")).toString();
        p.bitsPerRawSample = s.value(QStringLiteral("bits_per_raw_sample")).toString().toInt();
    }
    return p;
}

//! A tone whose channels differ (440, 550, 660 … Hz), so a mix-down is visible.
inline bool makeDistinctTone(const QString& path, double seconds, int rate, const QString& layout, int channels)
{
    QStringList expressions;
    for (int c = 0; c < channels; ++c)
        expressions << QStringLiteral("0.3*sin(%1*2*PI*t)").arg(440 + 110 * c);
    return testsupport::makeFromLavfi(
        path, QStringLiteral("aevalsrc=%1:c=%2:s=%3:d=%4").arg(expressions.join(u'|'), layout).arg(rate).arg(seconds));
}

//! Sets PATH for its lifetime (so a failed assertion cannot leave it changed).
class PathOverride {
public:
    explicit PathOverride(const QString& path) : m_saved(qgetenv("PATH")) { qputenv("PATH", path.toUtf8()); }
    ~PathOverride() { qputenv("PATH", m_saved); }
    PathOverride(const PathOverride&) = delete;
    PathOverride& operator=(const PathOverride&) = delete;

private:
    QByteArray m_saved;
};

class EncoderSession : public sessiontest::OneRowSession {
protected:
    void SetUp() override
    {
        OneRowSession::SetUp();
        if (HasFatalFailure())
            return;
        home = dir.filePath(QStringLiteral("prog"));
        ASSERT_TRUE(QDir().mkpath(home));
        qputenv("TONEMILL_HOME", home.toUtf8());
        logPath = home + QStringLiteral(" Errors.log");
    }

    void TearDown() override { qunsetenv("TONEMILL_HOME"); }

    QStringList logLines() const
    {
        QStringList lines = QString::fromUtf8(testsupport::readFile(logPath)).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.pop_back();
        return lines;
    }
    void expectComplete() const
    {
        EXPECT_EQ(status(), QStringLiteral("Complete"));
        EXPECT_EQ(color(), filelist::words::kCompleteColor);
        EXPECT_TRUE(logLines().isEmpty()) << logLines().join(u'\n').toStdString();
    }

    QString home;
    QString logPath;
};

} // namespace encodertest
