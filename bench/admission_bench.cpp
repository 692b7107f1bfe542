// Admission speed and list memory.
//
// 1. Admits 1,000 mixed files (WAV, FLAC, MP3, Ogg, AAC, MP4 video, AVI video)
//    with one `tonemill probe` over their folder, and reads the same files
//    with one `ffprobe` per file; prints files per second of both and the ratio.
// 2. Admits a folder of 10,000 files (with one `tonemill probe`) and prints
//    the probe's peak memory.
// 3. Prints the resident memory a list of 32768 rows with 200-character paths
//    takes.
// 4. In this process, admits the 1,000 mixed files the way Add Folder does
//    today (probed on worker threads ahead of their turn) and the way it did
//    before (one file after the other on the window's thread); prints files
//    per second of both.
// 5. Adds a tree of 10,000 files (three levels) with Add Folder and "Include
//    sub-folders" to a shown window that asks to be repainted every 5 ms, and
//    prints the longest time between two repaints while it is added.
// 6. Runs `tonemill probe --files-from` over a list of 100,000 paths (links
//    to small WAV files), of which a list takes 32,768, and prints the time
//    (target: under 30 s; the rest are refused in one step).
//
// The media are made once with ffmpeg into a cache folder under /tmp.
// Usage: admission_bench [TONEMILL_BINARY]

#include "engine/AudioEngine.h"
#include "filelist/AddFilesActions.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "options/CheckBoxState.h"
#include "platform/QtDesktop.h"
#include "support/Fixtures.h"
#include "support/ProcessMemory.h"
#include "support/TonemillRun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kCache = QStringLiteral("/tmp/tonemill-admission-bench");
constexpr int kMixedFiles = 1000;
constexpr int kLargeFolder = 10000;
constexpr int kTreeBranches = 10; // artists, and albums per artist: 100 files in each album
constexpr int kLongList = 100000;

struct Source {
    const char* name;
    QStringList options; // ffmpeg options between the inputs and the output
    bool video;
};

bool run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    if (!out)
        p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(30000))
        return false;
    p.waitForFinished(-1);
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool makeSource(const QString& path, const Source& source)
{
    QStringList args{QStringLiteral("-v"),
                     QStringLiteral("error"),
                     QStringLiteral("-y"),
                     QStringLiteral("-f"),
                     QStringLiteral("lavfi"),
                     QStringLiteral("-i"),
                     QStringLiteral("sine=frequency=440:sample_rate=44100:duration=20")};
    if (source.video)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("testsrc=size=160x120:rate=10:duration=20");
    args << QStringLiteral("-ac") << QStringLiteral("2") << source.options << path;
    return run(QStringLiteral("ffmpeg"), args);
}

//! The mixed folder: seven short files made with ffmpeg, copied round-robin
//! to kMixedFiles names. Made once; reused while complete.
bool prepareMixedFolder(QString& folder)
{
    const QList<Source> sources{
        {"wav", {}, false},
        {"flac", {}, false},
        {"mp3",
         {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("128k")},
         false},
        {"ogg", {QStringLiteral("-c:a"), QStringLiteral("libvorbis")}, false},
        {"aac", {QStringLiteral("-c:a"), QStringLiteral("aac")}, false},
        {"mp4", {QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("aac")}, true},
        {"avi", {QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("mp3")}, true},
    };
    const QString sourceFolder = kCache + QStringLiteral("/sources");
    folder = kCache + QStringLiteral("/mixed");
    if (QDir(folder).entryList(QDir::Files).size() == kMixedFiles)
        return true;
    if (!QDir().mkpath(sourceFolder) || !QDir().mkpath(folder))
        return false;
    QStringList made;
    for (const Source& source : sources) {
        const QString path = sourceFolder + QStringLiteral("/source.") + QLatin1String(source.name);
        if (!QFileInfo::exists(path) && !makeSource(path, source)) {
            std::fprintf(stderr, "ffmpeg could not make %s\n", qPrintable(path));
            return false;
        }
        made << path;
    }
    for (int i = 0; i < kMixedFiles; ++i) {
        const QString& from = made[i % made.size()];
        const QString to =
            folder + QStringLiteral("/file%1.").arg(i, 4, 10, QLatin1Char('0')) + QFileInfo(from).suffix();
        QFile::remove(to);
        if (!QFile::copy(from, to))
            return false;
    }
    return true;
}

//! A folder of kLargeFolder small files: WAV tones and damaged files.
bool prepareLargeFolder(QString& folder)
{
    folder = kCache + QStringLiteral("/large");
    if (QDir(folder).entryList(QDir::Files).size() == kLargeFolder)
        return true;
    const QString tone = kCache + QStringLiteral("/sources/short.wav");
    if (!QDir().mkpath(folder) || !QDir().mkpath(kCache + QStringLiteral("/sources")))
        return false;
    if (!QFileInfo::exists(tone) && !testsupport::makeTone(tone, 1, 8000, 1))
        return false;
    for (int i = 0; i < kLargeFolder; ++i) {
        const QString to = folder + QStringLiteral("/f%1.wav").arg(i, 5, 10, QLatin1Char('0'));
        if (i % 10 == 9) {
            if (!testsupport::writeFile(to, QByteArray(100 + i % 50, char(i))))
                return false;
        } else if (!QFileInfo::exists(to) && !QFile::copy(tone, to)) {
            return false;
        }
    }
    return true;
}

//! kLargeFolder files in three levels ("Artist 3/Album 7/f00042.wav"), hard
//! links to the large folder's files.
bool prepareTree(const QString& large, QString& tree)
{
    tree = kCache + QStringLiteral("/tree");
    const QStringList names = QDir(large).entryList(QDir::Files, QDir::Name);
    const int perAlbum = kLargeFolder / (kTreeBranches * kTreeBranches);
    for (int i = 0; i < kLargeFolder; ++i) {
        const QString folder =
            tree +
            QStringLiteral("/Artist %1/Album %2").arg(i / (perAlbum * kTreeBranches)).arg(i / perAlbum % kTreeBranches);
        const QString to = folder + u'/' + names.at(i);
        if (QFileInfo::exists(to))
            continue;
        if (!QDir().mkpath(folder) ||
            ::link(QFile::encodeName(large + u'/' + names.at(i)).constData(), QFile::encodeName(to).constData()) != 0)
            return false;
    }
    return true;
}

//! The window's Desktop, with the folder picker answered by the bench.
class PickerDesktop : public platform::QtDesktop {
public:
    QString folder;
    QString BrowseForFolder(const QString&, bool, const QString&) override { return folder; }
    QString BrowseForFolderWithOption(const QString&, const QString&, bool& option, const QString&) override
    {
        option = true;
        return folder;
    }
};

//! A window that asks to be repainted all the time and keeps the longest
//! time between two of its paints.
class RepaintWatch : public QWidget {
public:
    RepaintWatch()
    {
        resize(400, 300);
        connect(&m_ask, &QTimer::timeout, this, [this] { update(); });
        m_ask.start(5);
    }
    void restart()
    {
        m_longest = 0;
        m_sincePaint.start();
    }
    qint64 longestGapMs() const { return std::max(m_longest, m_sincePaint.elapsed()); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_sincePaint.isValid())
            m_longest = std::max(m_longest, m_sincePaint.elapsed());
        m_sincePaint.start();
    }

private:
    QTimer m_ask;
    QElapsedTimer m_sincePaint;
    qint64 m_longest = 0;
};

//! Admits every file of `folder` into a fresh list, as Add Folder does
//! today, or one file after the other on this thread as it did before.
//! Returns the rows and sets the seconds taken.
int admitInProcess(PickerDesktop& desktop, const QString& folder, bool pipelined, bool tree, double& seconds)
{
    filelist::FileList list;
    filelist::FileAdmission admission(desktop, [&list] { return &list; });
    admission.setWmaSupportCheck([] { return true; });
    options::CheckBoxState subFolders(QStringLiteral("chkSubFolders"), tree);
    filelist::AddFilesActions actions(
        desktop, [&admission](const filelist::ProbedFile& file) { return admission.AddProbedFile(file); });
    actions.setSubFolderChoice(&subFolders);
    desktop.folder = folder;
    QElapsedTimer timer;
    timer.start();
    if (pipelined) {
        actions.AddFolder();
    } else {
        for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
            QString path = folder + u'/' + name;
            admission.AddFile2Grid(path);
        }
    }
    seconds = double(timer.nsecsElapsed()) / 1e9;
    return list.count();
}

//! Runs one probe over `folder`; returns the number of rows printed, -1 on failure.
int probeFolder(const QString& tonemill, const QProcessEnvironment& env, const QString& folder, double& seconds)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    p.start(tonemill, {QStringLiteral("probe"), folder});
    if (!p.waitForStarted(30000))
        return -1;
    p.waitForFinished(-1);
    seconds = double(timer.nsecsElapsed()) / 1e9;
    if (p.exitStatus() != QProcess::NormalExit)
        return -1;
    return int(p.readAllStandardOutput().count('\n'));
}

//! The list of `kLongList` paths: hard links to the files of `large`, in a
//! folder of their own, named in `listFile` one a line.
bool prepareLongList(const QString& large, QString& listFile)
{
    const QString folder = kCache + QStringLiteral("/long-list");
    listFile = kCache + QStringLiteral("/long-list.txt");
    if (QFileInfo::exists(listFile))
        return true;
    QDir().mkpath(folder);
    const QStringList sources = QDir(large).entryList(QDir::Files, QDir::Name);
    if (sources.isEmpty())
        return false;
    QByteArray list;
    for (int i = 0; i < kLongList; ++i) {
        const QString source = large + u'/' + sources.at(i % sources.size());
        const QString link = folder + QStringLiteral("/%1.wav").arg(i, 6, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(link) &&
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(link).constData()) != 0)
            return false;
        list += QFile::encodeName(link) + '\n';
    }
    QFile file(listFile + QStringLiteral(".new"));
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
        return false;
    file.close();
    return QFile::rename(listFile + QStringLiteral(".new"), listFile);
}

void listMemory()
{
    const long before = bench::ownMemoryKb("VmRSS");
    {
        filelist::FileList list;
        for (int i = 0; i < filelist::FileList::kMaxRows; ++i) {
            filelist::FileListRow row;
            // Each cell its own string, as admission makes them.
            row.path = QStringLiteral("/home/someone/Music/") + QString(170, QChar(u'a' + i % 26)) +
                       QStringLiteral("%1.flac").arg(i, 5, 10, QLatin1Char('0'));
            row.Duration = QString::fromLatin1("03:07");
            row.FileSize = QString::fromLatin1("4.68 MB");
            list.append(row);
        }
        const long after = bench::ownMemoryKb("VmRSS");
        std::printf("list of %d rows (paths of %lld characters): VmRSS %ld kB before, %ld kB after, %.1f MB for the "
                    "list\n",
                    list.count(), qlonglong(list.at(0).path.size()), before, after, double(after - before) / 1024.0);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const testsupport::TonemillRun isolation;
    const QString tonemill = argc > 1 ? QString::fromLocal8Bit(argv[1]) : isolation.program();
    if (!QFileInfo(tonemill).isExecutable()) {
        std::fprintf(stderr, "no tonemill program at %s\n", qPrintable(tonemill));
        return 1;
    }
    const QProcessEnvironment env = isolation.environment();
    QString mixed;
    QString large;
    if (!isolation.isValid() || !prepareMixedFolder(mixed) || !prepareLargeFolder(large)) {
        std::fprintf(stderr, "could not prepare the media in %s\n", qPrintable(kCache));
        return 1;
    }

    // Warm the file cache and the program once.
    double seconds = 0;
    probeFolder(tonemill, env, mixed, seconds);

    const int rows = probeFolder(tonemill, env, mixed, seconds);
    if (rows != kMixedFiles) {
        std::fprintf(stderr, "tonemill probe admitted %d of %d files\n", rows, kMixedFiles);
        return 1;
    }
    const double probeRate = kMixedFiles / seconds;
    std::printf("tonemill probe: %d files in %.2f s, %.0f files/s\n", kMixedFiles, seconds, probeRate);

    const QStringList names = QDir(mixed).entryList(QDir::Files, QDir::Name);
    QElapsedTimer timer;
    timer.start();
    int read = 0;
    for (const QString& name : names) {
        QByteArray out;
        if (run(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 QStringLiteral("format=duration,size"), QStringLiteral("-of"), QStringLiteral("csv=p=0"),
                 mixed + u'/' + name},
                &out))
            ++read;
    }
    const double ffprobeSeconds = double(timer.nsecsElapsed()) / 1e9;
    const double ffprobeRate = read / ffprobeSeconds;
    std::printf("ffprobe, one per file: %d files in %.2f s, %.0f files/s\n", read, ffprobeSeconds, ffprobeRate);
    std::printf("ratio: tonemill probe is %.1fx the rate of ffprobe\n", probeRate / ffprobeRate);

    const int largeRows = probeFolder(tonemill, env, large, seconds);
    std::printf("folder of %d files: %d rows in %.2f s (%.0f files/s); peak memory of the children so far %ld kB\n",
                kLargeFolder, largeRows, seconds, kLargeFolder / seconds, bench::childrenPeakKb());

    listMemory();

    QString tree;
    if (!prepareTree(large, tree) || !engine::InitDecodingEngine()) {
        std::fprintf(stderr, "could not prepare the tree in %s or start the engine\n", qPrintable(kCache));
        return 1;
    }
    PickerDesktop desktop;
    RepaintWatch window;
    desktop.setWindow(&window);
    window.show();
    double before = 0;
    double today = 0;
    const int rowsBefore = admitInProcess(desktop, mixed, false, false, before);
    const int rowsToday = admitInProcess(desktop, mixed, true, false, today);
    std::printf("in process, %d mixed files: one after the other %.2f s (%.0f files/s); today %d in %.2f s "
                "(%.0f files/s), %.1fx\n",
                rowsBefore, before, rowsBefore / before, rowsToday, today, rowsToday / today,
                (rowsToday / today) / (rowsBefore / before));

    window.restart();
    const int treeRows = admitInProcess(desktop, tree, true, true, seconds);
    std::printf("tree of %d files in three levels added with sub-folders: %d rows in %.2f s (%.0f files/s); "
                "longest time between repaints %lld ms\n",
                kLargeFolder, treeRows, seconds, treeRows / seconds, qlonglong(window.longestGapMs()));

    QString longList;
    if (!prepareLongList(large, longList)) {
        std::fprintf(stderr, "could not prepare the list of %d paths in %s\n", kLongList, qPrintable(kCache));
        return 1;
    }
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer listTimer;
        listTimer.start();
        p.start(tonemill, {QStringLiteral("probe"), QStringLiteral("--files-from"), longList});
        p.waitForStarted(30000);
        p.waitForFinished(-1);
        const double listSeconds = double(listTimer.nsecsElapsed()) / 1e9;
        std::printf("list of %d paths (--files-from): %lld rows in %.2f s (target: under 30 s)\n", kLongList,
                    qlonglong(p.readAllStandardOutput().count('\n')), listSeconds);
    }
    return 0;
}
