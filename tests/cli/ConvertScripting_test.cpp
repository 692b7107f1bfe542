// `tonemill convert` as scripts drive it: lists of paths, JSON lines, passing
// over what is converted already, the exit codes and the words they read.

#include "support/CommandTest.h"
#include "support/Fixtures.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;
using CommandRun = testsupport::TonemillResult;

//! The names (bytes) of the files below `folder`, hidden ones too, relative
//! to it and sorted. Read with the system's calls: Qt passes over names
//! that are not UTF-8.
QList<QByteArray> filesBelow(const QByteArray& folder, const QByteArray& prefix = {})
{
    QList<QByteArray> files;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::lstat((folder + '/' + name).constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            files << filesBelow(folder + '/' + name, prefix + name + '/');
        else
            files << prefix + name;
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

QList<QByteArray> filesBelow(const QString& folder)
{
    return filesBelow(QFile::encodeName(folder));
}

//! Removes `folder` with everything in it, names that are not UTF-8 too.
void removeTree(const QByteArray& folder)
{
    for (const QByteArray& file : filesBelow(folder))
        ::unlink((folder + '/' + file).constData());
    QDir(QFile::decodeName(folder)).removeRecursively();
}

//! The tab-separated fields of each line.
QList<QList<QByteArray>> fieldsOf(const CommandRun& run)
{
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line : run.lines())
        rows << line.split('\t');
    return rows;
}

class ConvertScriptingTest : public testsupport::CommandTest {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("tone.flac")), 1.5, 44100, 2));
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("short.flac")), 0.7, 44100, 2));
    }
    static void TearDownTestSuite() { s_media.close(); }
    // The names that are not UTF-8 are removed here: the temporary folder cannot.
    void TearDown() override { removeTree(QFile::encodeName(work.path())); }

    //! A copy of the suite's tone (or of `source`) at `name` in the working folder.
    QString tone(const QString& name, const QString& source = QStringLiteral("tone.flac")) const
    {
        EXPECT_TRUE(s_media.copy(source, path(name))) << qPrintable(name);
        return path(name);
    }

    //! A copy of the tone under a name of raw bytes (not UTF-8), inside the working folder.
    QByteArray rawTone(const QByteArray& name) const
    {
        const QString plain = tone(QStringLiteral("raw-tone.flac"));
        const QByteArray bytes = QFile::encodeName(work.path()) + '/' + name;
        EXPECT_EQ(::rename(QFile::encodeName(plain).constData(), bytes.constData()), 0);
        return bytes;
    }

    CommandRun convert(const QStringList& arguments, const QByteArray& standardInput = {}) const
    {
        QProcess process;
        tonemill.start(process, QStringList{QStringLiteral("convert")} + arguments);
        process.waitForStarted();
        process.write(standardInput);
        process.closeWriteChannel();
        return testsupport::TonemillRun::finish(process);
    }

    static inline testsupport::SuiteMedia s_media;
};

TEST_F(ConvertScriptingTest, ListsOfPathsKeepEveryNameAsItsBytes)
{
    const QStringList names = {QStringLiteral("plain.flac"), QStringLiteral("with space.flac"),
                               QStringLiteral("-dash.flac"), QStringLiteral("tab\there.flac"),
                               QStringLiteral("back\\slash.flac")};
    QByteArray lines;
    for (const QString& name : names) {
        tone(name);
        lines += QFile::encodeName(name) + '\n'; // relative: against the working folder
    }
    const QByteArray raw = rawTone("caf\xe9.flac");
    lines += raw + '\n';
    ASSERT_TRUE(writeFile(path(QStringLiteral("list.txt")), lines));

    const QStringList wav = {QStringLiteral("--format"), QStringLiteral("wav"), QStringLiteral("--output")};
    CommandRun run = convert(wav + QStringList{QStringLiteral("out"), QStringLiteral("--files-from=list.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    ASSERT_EQ(run.lines().size(), names.size() + 1) << run.out.constData();
    for (const QList<QByteArray>& row : fieldsOf(run))
        EXPECT_EQ(row.value(2), "Complete") << row.value(0).constData();
    EXPECT_EQ(filesBelow(path(QStringLiteral("out"))).size(), names.size() + 1);
    EXPECT_EQ(::access((QFile::encodeName(path(QStringLiteral("out"))) + "/caf\xe9.wav").constData(), F_OK), 0);

    // With -0 a name may hold a line break, as find -print0 writes it; the
    // list comes on standard input, after a path of the command line.
    const QString broken = tone(QStringLiteral("new\nline.flac"));
    QByteArray nul = QFile::encodeName(broken) + '\0' + raw + '\0';
    run = convert(wav + QStringList{QStringLiteral("nul"), QStringLiteral("plain.flac"), QStringLiteral("--files-from"),
                                    QStringLiteral("-"), QStringLiteral("-0")},
                  nul);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    ASSERT_EQ(run.lines().size(), 3) << run.out.constData();
    EXPECT_TRUE(run.lines()[0].startsWith(QFile::encodeName(path(QStringLiteral("plain.flac"))) + '\t'));
    EXPECT_TRUE(run.lines()[1].startsWith(QFile::encodeName(path(QStringLiteral("new\\nline.flac"))) + '\t'));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("nul/new\nline.wav"))));

    // Read a line at a time, that name is two paths, neither of them a file.
    run = convert(wav + QStringList{QStringLiteral("lines"), QStringLiteral("--files-from=-")},
                  QFile::encodeName(broken) + '\n');
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.out.contains("\tComplete\t")) << run.out.constData();

    // An empty list converts nothing, and that is no failure.
    run = convert(wav + QStringList{QStringLiteral("empty"), QStringLiteral("--files-from"), QStringLiteral("-")});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
}

TEST_F(ConvertScriptingTest, JsonLinesParseInPythonAndGiveNamesBackAsTheirBytes)
{
    const QString quoted = tone(QStringLiteral("say \"hi\" \\ 1.flac"));
    const QByteArray raw = rawTone("caf\xe9.flac");
    const QString noise = path(QStringLiteral("noise.ogg"));
    ASSERT_TRUE(writeFile(noise, QByteArray(3000, 'z')));
    ASSERT_TRUE(writeFile(path(QStringLiteral("notes.txt")), "text"));

    // The name that is not UTF-8 comes by a list: an argument of QProcess is text.
    const CommandRun run = convert({QStringLiteral("--json"), QStringLiteral("--loudness"),
                                    QStringLiteral("--format=wav"), QStringLiteral("--output=out"), quoted, noise,
                                    QStringLiteral("notes.txt"), QStringLiteral("--files-from=-")},
                                   raw + '\n');
    EXPECT_EQ(run.exitCode, 1); // a path named that is not audio, a file that cannot be decoded
    ASSERT_EQ(run.lines().size(), 5) << run.out.constData();

    // Each line on its own is JSON for Python's own tool.
    for (const QByteArray& line : run.lines()) {
        QProcess tool;
        tool.start(QStringLiteral("python3"), {QStringLiteral("-m"), QStringLiteral("json.tool")});
        ASSERT_TRUE(tool.waitForStarted());
        tool.write(line);
        tool.closeWriteChannel();
        ASSERT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << line.constData() << tool.readAllStandardError().constData();
    }

    // What a script reads: names as bytes through surrogateescape, the
    // numbers, the refused path with its reason, and the totals.
    const QByteArray script = R"(import json, os, sys
for line in sys.stdin:
    o = json.loads(line)
    if 'totals' in o:
        t = o['totals']
        print('totals', t['schema'], t['rows'], t['complete'], t['skipped'], t['failed'], t['unsupported'],
              t['refused'], t['seconds'], t['bytes'])
        continue
    if o['status'] == 'Refused':
        print(os.fsencode(o['input']).hex(), o['output'], o['status'], o['reason'])
        continue
    out = os.fsencode(o['output']).hex() if o['output'] is not None else '-'
    loud = o['loudness']
    measured = loud is not None and all(isinstance(loud[k], float) for k in ('lufs', 'true_peak_dbtp'))
    print(os.fsencode(o['input']).hex(), out, o['status'], o['reason'], o['seconds'], o['bytes'], o['wall'] >= 0,
          measured)
)";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromUtf8(script)});
    ASSERT_TRUE(python.waitForStarted());
    python.write(run.out);
    python.closeWriteChannel();
    ASSERT_TRUE(python.waitForFinished(30000));
    const QList<QByteArray> read = python.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(read.size(), 5) << python.readAllStandardError().constData();

    const QString out = path(QStringLiteral("out"));
    const QByteArray quotedOut = QFile::encodeName(out + QStringLiteral("/say \"hi\" \\ 1.wav"));
    const QByteArray rawOut = QFile::encodeName(out) + "/caf\xe9.wav";
    const qint64 wavBytes = QFileInfo(QFile::decodeName(quotedOut)).size();
    ASSERT_GT(wavBytes, 44 + 1.5 * 44100 * 4 - 1);
    // The refused path comes where admission met it, before the rows converted.
    EXPECT_EQ(read[0], QFile::encodeName(path(QStringLiteral("notes.txt"))).toHex() + " None Refused not audio");
    EXPECT_EQ(read[1], QFile::encodeName(quoted).toHex() + ' ' + quotedOut.toHex() + " Complete None 1.5 " +
                           QByteArray::number(wavBytes) + " True True");
    EXPECT_EQ(read[2], QFile::encodeName(noise).toHex() + " - Codec Not Supported Unsupported Format 0 0 True False");
    EXPECT_EQ(read[3],
              raw.toHex() + ' ' + rawOut.toHex() + " Complete None 1.5 " + QByteArray::number(wavBytes) + " True True");
    EXPECT_EQ(read[4], "totals 1 3 2 0 0 1 1 3 " + QByteArray::number(2 * wavBytes));
    EXPECT_TRUE(run.err.contains("refused: not audio: " + QFile::encodeName(path(QStringLiteral("notes.txt")))))
        << run.err.constData();
}

TEST_F(ConvertScriptingTest, RefusedPathsAreNamedAndOnlyThoseTheUserNamedFailTheRun)
{
    const QString a = tone(QStringLiteral("album/01.flac"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("album/cover.jpg")), "jpeg"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("album/rip.log")), "log"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("list.txt")), "album/01.flac\nalbum/cover.jpg\n"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("missing-list.txt")), "gone.flac\n"));
    const QStringList wav = {QStringLiteral("--format=wav"), QStringLiteral("--output=out"),
                             QStringLiteral("--skip-existing")};
    struct Case {
        const char* what;
        QStringList arguments;
        int exitCode;
        QList<QByteArray> refused; // the lines on standard error
    };
    const QByteArray cover = "refused: not audio: " + QFile::encodeName(path(QStringLiteral("album/cover.jpg")));
    const Case cases[] = {
        {"a folder with a cover and a log",
         {QStringLiteral("album")},
         0,
         {cover, "refused: not audio: " + QFile::encodeName(path(QStringLiteral("album/rip.log")))}},
        {"a list with a cover", {QStringLiteral("--files-from=list.txt")}, 0, {cover}},
        {"a file given twice",
         {a, QStringLiteral("album/01.flac")},
         0,
         {"refused: already in the list: " + QFile::encodeName(a)}},
        {"a cover named", {QStringLiteral("album/cover.jpg")}, 1, {cover}},
        {"a file listed that is not there",
         {QStringLiteral("--files-from=missing-list.txt")},
         1,
         {"refused: missing: " + QFile::encodeName(path(QStringLiteral("gone.flac")))}},
    };
    for (const Case& c : cases) {
        const CommandRun run = convert(wav + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err.constData();
        EXPECT_EQ(run.err.trimmed().split('\n'), c.refused) << c.what;
    }
}

TEST_F(ConvertScriptingTest, SkipExistingPassesOverCompleteOutputsOnly)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString b = tone(QStringLiteral("b.flac"));
    const QString c = tone(QStringLiteral("c.flac"));
    const QString out = path(QStringLiteral("out"));
    const QStringList mp3 = {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--output"), out};
    ASSERT_EQ(convert(mp3 + QStringList{a, b, c}).exitCode, 0);

    // Under b's name half a file, under c's a file of another format: not
    // outputs to keep, so those two are converted again beside them.
    const QByteArray whole = readFile(out + QStringLiteral("/b.mp3"));
    ASSERT_TRUE(writeFile(out + QStringLiteral("/b.mp3"), whole.left(whole.size() / 2)));
    ASSERT_TRUE(QFile::remove(out + QStringLiteral("/c.mp3")));
    ASSERT_TRUE(s_media.copy(QStringLiteral("tone.flac"), out + QStringLiteral("/c.mp3")));

    const QStringList skip = mp3 + QStringList{QStringLiteral("--skip-existing"), a, b, c};
    CommandRun run = convert(skip);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const auto expect = [&](const CommandRun& r, const QList<QStringList>& rows) {
        ASSERT_EQ(r.lines().size(), rows.size()) << r.out.constData();
        for (qsizetype i = 0; i < rows.size(); ++i)
            EXPECT_EQ(r.lines()[i], (rows[i].join(u'\t') + u'\t').toUtf8());
    };
    expect(run, {{a, out + QStringLiteral("/a.mp3"), QStringLiteral("Skipped")},
                 {b, out + QStringLiteral("/b_Converted.mp3"), QStringLiteral("Complete")},
                 {c, out + QStringLiteral("/c_Converted.mp3"), QStringLiteral("Complete")}});

    // Started again, it finds every output, the later names of the sequence too.
    run = convert(skip);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    expect(run, {{a, out + QStringLiteral("/a.mp3"), QStringLiteral("Skipped")},
                 {b, out + QStringLiteral("/b_Converted.mp3"), QStringLiteral("Skipped")},
                 {c, out + QStringLiteral("/c_Converted.mp3"), QStringLiteral("Skipped")}});
    EXPECT_EQ(filesBelow(out).size(), 5);

    // A file is never its own output: beside itself, in its own format.
    const QString d = tone(QStringLiteral("same/d.flac"));
    const QStringList beside = {QStringLiteral("--format=flac"), QStringLiteral("--same-folder"),
                                QStringLiteral("--skip-existing"), d};
    expect(convert(beside), {{d, path(QStringLiteral("same/d_Converted.flac")), QStringLiteral("Complete")}});
    expect(convert(beside), {{d, path(QStringLiteral("same/d_Converted.flac")), QStringLiteral("Skipped")}});
    // Half a FLAC, whose header still states the whole length: converted again.
    const QByteArray flac = readFile(path(QStringLiteral("same/d_Converted.flac")));
    ASSERT_TRUE(writeFile(path(QStringLiteral("same/d_Converted.flac")), flac.left(flac.size() / 2)));
    expect(convert(beside), {{d, path(QStringLiteral("same/d_Converted_0.flac")), QStringLiteral("Complete")}});

    // Two inputs of one name and length into one folder: one output each,
    // whichever was converted first.
    const QString x = tone(QStringLiteral("x/s.flac"));
    const QString y = tone(QStringLiteral("y/s.flac"));
    const QString flat = path(QStringLiteral("flat"));
    const QStringList wav = {QStringLiteral("--format=wav"), QStringLiteral("--output"), flat,
                             QStringLiteral("--skip-existing")};
    ASSERT_EQ(convert(wav + QStringList{y}).exitCode, 0);
    expect(convert(wav + QStringList{x, y}),
           {{x, flat + QStringLiteral("/s.wav"), QStringLiteral("Skipped")},
            {y, flat + QStringLiteral("/s_Converted.wav"), QStringLiteral("Complete")}});
    expect(convert(wav + QStringList{x, y}),
           {{x, flat + QStringLiteral("/s.wav"), QStringLiteral("Skipped")},
            {y, flat + QStringLiteral("/s_Converted.wav"), QStringLiteral("Skipped")}});

    // A different length is another input's output.
    const QString shorter = tone(QStringLiteral("z/s.flac"), QStringLiteral("short.flac"));
    expect(convert(wav + QStringList{shorter}),
           {{shorter, flat + QStringLiteral("/s_Converted_0.wav"), QStringLiteral("Complete")}});
}

TEST_F(ConvertScriptingTest, TheWindowsLanguageNeverChangesTheWordsScriptsRead)
{
    // The German the user chose for the window: messages for a person follow
    // it, the words of the lines stay English.
    ASSERT_TRUE(QDir(tonemill.configFolder()).mkpath(QStringLiteral("Tonemill")));
    ASSERT_TRUE(writeFile(tonemill.configFolder() + QStringLiteral("/Tonemill/Tonemill.conf"),
                          "[Language]\nName=German.ini\n"));
    QByteArray emptyFolder;
    for (const QByteArray& line : readFile(tonemill.programFolder() + QStringLiteral("/Lang/German.ini")).split('\n'))
        if (line.startsWith("30003="))
            emptyFolder = line.mid(6).trimmed();
    ASSERT_FALSE(emptyFolder.isEmpty());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("empty"))));

    const QString a = tone(QStringLiteral("a.flac"));
    const QString noise = path(QStringLiteral("noise.ogg"));
    ASSERT_TRUE(writeFile(noise, QByteArray(3000, 'z')));
    ASSERT_TRUE(writeFile(path(QStringLiteral("notes.txt")), "text"));
    const QStringList arguments = {
        QStringLiteral("--format=wav"), QStringLiteral("--output=out"), QStringLiteral("--skip-existing"), a, noise,
        QStringLiteral("notes.txt"),    QStringLiteral("empty")};

    CommandRun run = convert(arguments);
    EXPECT_EQ(run.exitCode, 1);
    QList<QList<QByteArray>> rows = fieldsOf(run);
    ASSERT_EQ(rows.size(), 2) << run.out.constData();
    EXPECT_EQ(rows[0].value(2), "Complete");
    EXPECT_EQ(rows[1].value(2), "Codec Not Supported");
    const QByteArray refused = "refused: not audio: " + QFile::encodeName(path(QStringLiteral("notes.txt")));
    EXPECT_EQ(run.err.trimmed().split('\n'), (QList<QByteArray>{refused, emptyFolder}));

    run = convert(QStringList{QStringLiteral("--json")} + arguments);
    EXPECT_TRUE(run.lines().value(1).contains("\"status\":\"Skipped\"")) << run.out.constData();
    EXPECT_TRUE(run.lines().value(2).contains("\"status\":\"Codec Not Supported\"")) << run.out.constData();
    EXPECT_TRUE(run.lines().value(0).contains("\"status\":\"Refused\",\"reason\":\"not audio\""))
        << run.out.constData();
    EXPECT_EQ(run.err.trimmed().split('\n'), (QList<QByteArray>{refused, emptyFolder}));
}

TEST_F(ConvertScriptingTest, ExitCodesSayHowTheRunEnded)
{
    const QString a = tone(QStringLiteral("a.flac"));
    const QString out = path(QStringLiteral("out"));
    struct Case {
        const char* what;
        QStringList arguments;
        int exitCode;
    };
    const QStringList wav = {QStringLiteral("--format=wav"), QStringLiteral("--output"), out};
    const Case cases[] = {
        {"every row complete", wav + QStringList{a}, 0},
        {"every row skipped", wav + QStringList{QStringLiteral("--skip-existing"), a}, 0},
        {"a row failed", {QStringLiteral("--format=mp3"), QStringLiteral("--output"), out, a}, 1},
        {"-0 without a list", wav + QStringList{QStringLiteral("-0"), a}, 2},
        {"a list that is not there", wav + QStringList{QStringLiteral("--files-from"), QStringLiteral("nowhere")}, 2},
        {"a list that is a pipe", wav + QStringList{QStringLiteral("--files-from"), QStringLiteral("pipe")}, 2},
        {"standard input twice",
         wav + QStringList{QStringLiteral("--files-from=-"), QStringLiteral("--files-from"), QStringLiteral("-")}, 2},
        {"--tree-root beside its inputs", {QStringLiteral("--same-folder"), QStringLiteral("--tree-root=."), a}, 2},
    };
    // A pipe nobody writes to: reading it would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    // An encoder that refuses, for the failing row.
    ASSERT_TRUE(testsupport::writeShellScript(tonemill.programFolder() + QStringLiteral("/lame"),
                                              "cat > /dev/null\necho 'lame: refused' >&2\nexit 3\n"));
    for (const Case& c : cases) {
        const CommandRun run = convert(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err.constData();
        if (c.exitCode == 2) {
            EXPECT_TRUE(run.out.isEmpty() && !run.err.isEmpty()) << c.what;
        }
    }
}

} // namespace
