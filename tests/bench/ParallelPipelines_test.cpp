#include "support/Fixtures.h"
#include "support/ParallelPipelines.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using bench::ParallelPipelines;

namespace {

const QStringList kNames{QStringLiteral("in0"), QStringLiteral("in1"), QStringLiteral("in2")};

QStringList lame()
{
    return {QStringLiteral("lame"), QStringLiteral("--cbr"), QStringLiteral("-b"),
            QStringLiteral("128"),  QStringLiteral("-"),     ParallelPipelines::outputMarker()};
}

} // namespace

TEST(ParallelPipelines, ShellQuotingKeepsEveryTextAsOneWord)
{
    const QString texts[] = {QStringLiteral("plain"), QStringLiteral("it's"),    QStringLiteral("$HOME `id`"),
                             QStringLiteral("a  b"),  QStringLiteral("\"q\"\\"), QStringLiteral("'';'")};
    for (const QString& text : texts) {
        QByteArray out;
        ASSERT_EQ(testsupport::runProgram(
                      QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("printf '%s|' ") + ParallelPipelines::shellQuoted(text)},
                      &out),
                  0);
        EXPECT_EQ(QString::fromUtf8(out), text + u'|');
    }
}

TEST(ParallelPipelines, RefusesNamesThatAreNotPlainAndAnEncoderWithoutOutput)
{
    struct Case {
        QStringList names;
        QString extension;
        QStringList encoder;
    };
    const Case cases[] = {
        {{QStringLiteral("in 0")}, QStringLiteral("flac"), lame()},
        {{QStringLiteral("in;rm")}, QStringLiteral("flac"), lame()},
        {{QStringLiteral("$(id)")}, QStringLiteral("flac"), lame()},
        {{QString()}, QStringLiteral("flac"), lame()},
        {{}, QStringLiteral("flac"), lame()},
        {kNames, QStringLiteral("fl'ac"), lame()},
        {kNames, QStringLiteral("flac"), {QStringLiteral("lame"), QStringLiteral("-")}},
    };
    for (const Case& c : cases) {
        const ParallelPipelines pipelines(c.names, c.extension, c.encoder, QStringLiteral("mp3"));
        EXPECT_FALSE(pipelines.isValid()) << qPrintable(c.names.join(u',') + u' ' + c.extension);
        EXPECT_EQ(
            pipelines.run(2, QStringLiteral("/tmp"), QStringLiteral("/tmp"), QProcessEnvironment::systemEnvironment())
                .exitCode,
            -1);
    }
}

TEST(ParallelPipelines, ConvertsEveryInputIntoTheOutputFolder)
{
    // Folders whose names a script would break on reach it as variables.
    QTemporaryDir top;
    const QString in = top.filePath(QStringLiteral("in 'a' $x"));
    const QString out = top.filePath(QStringLiteral("out \"b\""));
    ASSERT_TRUE(QDir().mkpath(in) && QDir().mkpath(out));
    for (const QString& name : kNames)
        ASSERT_TRUE(testsupport::makeTone(in + u'/' + name + QStringLiteral(".flac"), 1, 44100, 2));

    const ParallelPipelines pipelines(kNames, QStringLiteral("flac"), lame(), QStringLiteral("mp3"));
    ASSERT_TRUE(pipelines.isValid());
    for (const int jobs : {1, 2}) {
        const bench::MeasuredRun run = pipelines.run(jobs, in, out, QProcessEnvironment::systemEnvironment());
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        for (const QString& name : kNames)
            EXPECT_GT(QFileInfo(out + u'/' + name + QStringLiteral(".mp3")).size(), 10000) << jobs;
        QDir(out).removeRecursively();
        QDir().mkpath(out);
    }
}
