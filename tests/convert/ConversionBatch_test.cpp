#include "BatchTestFolder.h"
#include "convert/ConversionBatch.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"
#include "support/SuiteMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

using filelist::RowState;
using testsupport::readFile;

namespace {

class ConversionBatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        engine::LoadFormatModules();
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("tone.flac")), 1.0, 22050, 2));
        // Long enough to be still converting when the test looks: many chunks.
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("long.flac")), 30.0, 44100, 2));
    }
    static void TearDownTestSuite() { s_media.close(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        options.optFileFormat(options::FormatOptions::WAV).setValue(true);
        options.optSameFolder.setValue(true);
        batch.setControlEnabler([this](const QString& name, bool enabled) { enabled_[name] = enabled; });
        batch.setStopPlayback([this] { ++playbackStops; });
        batch.setBatchFinished([this] { ++finished; });
    }

    //! Adds a row for a copy of the tone named `name`, in `state`.
    void addRow(const QString& name, RowState rowState = RowState::Waiting, int ticked = 0,
                const QString& source = QStringLiteral("tone.flac"))
    {
        const QString file = dir.filePath(name);
        if (!QFile::exists(file)) {
            ASSERT_TRUE(s_media.copy(source, file));
        }
        filelist::FileListRow row;
        row.path = file;
        row.state = rowState;
        row.CheckBox = ticked;
        ASSERT_TRUE(list->append(row));
    }
    void addLongRow(const QString& name) { addRow(name, RowState::Waiting, 0, QStringLiteral("long.flac")); }
    //! Adds a row for a file named like audio that holds none.
    void addUndecodableRow(const QString& name)
    {
        const QString file = dir.filePath(name);
        ASSERT_TRUE(testsupport::writeFile(file, QByteArray(4096, 'z')));
        filelist::FileListRow row;
        row.path = file;
        ASSERT_TRUE(list->append(row));
    }
    QString status(int row) const { return list->cell(row, filelist::FileList::Status).toString(); }
    RowState rowState(int row) const { return list->at(row).state; }
    //! Lets `jobs` rows convert at once, more than this machine's processors if need be.
    void setJobs(int jobs)
    {
        options.sliderSimultaneous.setMax(std::max(jobs, options.sliderSimultaneous.Max()));
        options.sliderSimultaneous.setValue(jobs);
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    static inline testsupport::SuiteMedia s_media;
    QTemporaryDir dir;
    testsupport::ScriptedDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    std::unique_ptr<filelist::FileList> list = std::make_unique<filelist::FileList>();
    convert::ConversionBatch batch{desktop, state, options, [this] { return list.get(); }};
    QMap<QString, bool> enabled_;
    int playbackStops = 0;
    int finished = 0;
};

TEST_F(ConversionBatchTest, StartsIdle)
{
    EXPECT_EQ(batch.cmdConvert.Caption(), QStringLiteral("Convert All"));
    EXPECT_EQ(batch.cmdConvertSelected.Caption(), QStringLiteral("Convert Selected"));
    EXPECT_FALSE(batch.chkShutdown.Value());
    EXPECT_EQ(convert::ConversionBatch::switchedControls().size(), 14);
}

TEST_F(ConversionBatchTest, EmptyListShowsTheMessageOnly)
{
    batch.cmdConvert.click();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("The list is empty, Please add Audio files from step 1"));
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Information);
    EXPECT_EQ(playbackStops, 0);
    EXPECT_EQ(finished, 0);
}

TEST_F(ConversionBatchTest, ConvertAllWalksTheEligibleRows)
{
    addRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("b.flac"), RowState::Cancelled);
    addRow(QStringLiteral("c.flac"), RowState::Failed);
    addRow(QStringLiteral("d.flac"), RowState::Complete);
    addRow(QStringLiteral("e.flac"), RowState::NotSupported);

    // What the window shows while the batch runs.
    QString runningCaption, otherCaption;
    bool otherEnabled = true, browseEnabled = true;
    desktop.onProcessEvents = [&] {
        runningCaption = batch.cmdConvert.Caption();
        otherCaption = batch.cmdConvertSelected.Caption();
        otherEnabled = batch.cmdConvertSelected.Enabled();
        browseEnabled = options.cmdChangeFormat.Enabled();
        EXPECT_TRUE(state.bConverting);
    };
    batch.cmdConvert.click();

    EXPECT_EQ(runningCaption, QStringLiteral("Stop"));
    EXPECT_EQ(otherCaption, QStringLiteral("Convert Selected"));
    EXPECT_FALSE(otherEnabled);
    EXPECT_FALSE(browseEnabled);

    // Waiting, stopped and failed rows are converted; the others stay as they were.
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(status(row), QStringLiteral("Complete")) << row;
    EXPECT_EQ(status(4), QStringLiteral("Codec Not Supported"));
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        EXPECT_TRUE(QFile::exists(path(QLatin1String(name)))) << name;
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("d.wav"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("e.wav"))));
    EXPECT_EQ(batch.summary().converted, 3);

    // Restored afterwards; the player was stopped once; the window was told.
    EXPECT_EQ(batch.cmdConvert.Caption(), QStringLiteral("Convert All"));
    EXPECT_TRUE(batch.cmdConvertSelected.Enabled());
    EXPECT_TRUE(options.cmdChangeFormat.Enabled());
    EXPECT_FALSE(options.cmdBrowse.Enabled()); // output beside the input: nothing to browse
    EXPECT_TRUE(enabled_.value(QStringLiteral("cmdAddFile")));
    EXPECT_EQ(enabled_.size(), 10); // the switched controls that live outside the options
    EXPECT_FALSE(state.bConverting);
    EXPECT_FALSE(state.bCancelConversion);
    EXPECT_EQ(playbackStops, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(desktop.powerOffs, 0);

    // A second click finds nothing left and asks whether to convert again:
    // on No nothing runs and, even with the box ticked, nothing powers off.
    batch.chkShutdown.setValue(true);
    desktop.answers.push_back(platform::Desktop::Answer::No);
    batch.cmdConvert.click();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("All files are converted. Convert them again?"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a_Converted.wav"))));
    EXPECT_EQ(desktop.powerOffCountdowns, 0);
    EXPECT_EQ(finished, 1);
}

TEST_F(ConversionBatchTest, ConvertSelectedConvertsOnlyTickedRows)
{
    addRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("b.flac"));
    batch.chkShutdown.setValue(true);

    EXPECT_FALSE(batch.ConvertFiles(convert::ConversionBatch::Choice::Selected));
    batch.cmdConvertSelected.click(); // neither ticks nor highlights: it says how to choose
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(1), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(desktop.powerOffCountdowns, 0);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Tick the files to convert first."));

    list->setCell(1, filelist::FileList::CheckBox, -1); // any non-zero value is a tick
    desktop.powerOffAnswers.push_back(true);            // the countdown runs out
    batch.cmdConvertSelected.click();
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(1), QStringLiteral("Complete"));
    EXPECT_EQ(desktop.powerOffs, 1);
    EXPECT_EQ(batch.cmdConvertSelected.Caption(), QStringLiteral("Convert Selected"));

    // With no tick, the highlighted rows are ticked and converted.
    list->setCell(1, filelist::FileList::CheckBox, 0);
    batch.setHighlightedRows([] { return QList<int>{0}; });
    batch.cmdConvertSelected.click();
    EXPECT_EQ(list->at(0).CheckBox, 1);
    EXPECT_EQ(status(0), QStringLiteral("Complete"));
}

TEST_F(ConversionBatchTest, StopInsideTheYieldCancelsTheRowAndEndsTheBatch)
{
    setJobs(1);
    addLongRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("b.flac"));
    batch.chkShutdown.setValue(true);
    bool clicked = false;
    QString captionAfterStop;
    desktop.onProcessEvents = [&] {
        if (clicked)
            return;
        clicked = true;
        batch.cmdConvert.click(); // reads "Stop"
        captionAfterStop = batch.cmdConvert.Caption();
        // A further start in the same yield is refused: the stopped batch still runs.
        EXPECT_TRUE(batch.cmdConvertSelected.Enabled());
        list->setCell(1, filelist::FileList::CheckBox, 1);
        batch.cmdConvertSelected.click();
        batch.cmdConvert.click();
        EXPECT_EQ(batch.cmdConvertSelected.Caption(), QStringLiteral("Convert Selected"));
    };
    batch.cmdConvert.click();

    EXPECT_EQ(captionAfterStop, QStringLiteral("Convert All"));
    EXPECT_EQ(status(0), QStringLiteral("Cancelled"));
    EXPECT_EQ(list->textColor(0, filelist::FileList::Status), filelist::words::kFailureColor);
    EXPECT_EQ(status(1), QStringLiteral("Waiting Conversion"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b.wav"))));
    EXPECT_FALSE(state.bConverting);
    EXPECT_FALSE(state.bCancelConversion);
    EXPECT_EQ(finished, 1);
    // The shorter file is kept under a name that cannot be taken for a result.
    const QString stopped = list->at(0).outputPath;
    EXPECT_TRUE(QFileInfo(stopped).fileName().startsWith(QStringLiteral("a (stopped at 00m"))) << qPrintable(stopped);
    EXPECT_TRUE(QFile::exists(stopped));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.wav"))));
    // Nothing was converted, so the machine stays on.
    EXPECT_EQ(desktop.powerOffCountdowns, 0);

    // The next batch converts the stopped row again: the whole file gets the
    // clean name and the stopped one is gone.
    desktop.onProcessEvents = nullptr;
    batch.cmdConvert.click();
    EXPECT_EQ(status(0), QStringLiteral("Complete"));
    EXPECT_EQ(status(1), QStringLiteral("Complete"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a.wav"))));
    EXPECT_FALSE(QFile::exists(stopped));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.wav")}).size(), 2);
}

TEST_F(ConversionBatchTest, StopWithFourRunningCancelsThemAndStartsNoOther)
{
    setJobs(4);
    for (int i = 0; i < 6; ++i)
        addLongRow(QStringLiteral("r%1.flac").arg(i));
    qsizetype runningAtStop = 0;
    desktop.onProcessEvents = [&] {
        if (runningAtStop == 0 && batch.cmdConvert.Caption() == QStringLiteral("Stop")) {
            runningAtStop = batch.progress().running.size();
            batch.cmdConvert.click();
        }
    };
    batch.cmdConvert.click();

    EXPECT_EQ(runningAtStop, 4);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(status(row), QStringLiteral("Cancelled")) << row;
    for (int row = 4; row < 6; ++row) {
        EXPECT_EQ(status(row), QStringLiteral("Waiting Conversion")) << row;
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("r%1.wav").arg(row)))) << row;
    }
    EXPECT_FALSE(state.bConverting);
    EXPECT_EQ(finished, 1);
}

TEST_F(ConversionBatchTest, AMessageBoxOpenDuringABatchDoesNotHoldItUp)
{
    setJobs(1);
    addLongRow(QStringLiteral("a.flac"));
    // The box opens as the first row starts and stays open, running its own
    // event loop as a real one does, until the row has moved on or ended.
    QStringList seenWhileOpen;
    bool opened = false;
    desktop.onProcessEvents = [&] {
        if (opened)
            return;
        opened = true;
        desktop.messageBox(QStringLiteral("busy"), QString(), platform::Desktop::Icon::Information,
                           platform::Desktop::Buttons::Ok);
    };
    desktop.whileBoxOpen = [&] {
        QElapsedTimer open;
        open.start();
        while (status(0) != QStringLiteral("Complete") && open.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (seenWhileOpen.isEmpty() || seenWhileOpen.last() != status(0))
                seenWhileOpen << status(0);
        }
    };
    batch.cmdConvert.click();

    EXPECT_EQ(status(0), QStringLiteral("Complete"));
    ASSERT_GE(seenWhileOpen.size(), 2);
    EXPECT_NE(seenWhileOpen.first(), QStringLiteral("Complete")) << "the box opened before the row ended";
    EXPECT_EQ(seenWhileOpen.last(), QStringLiteral("Complete")) << "the row ended while the box was open";
}

// The same batch converted one row at a time and four at once: the same
// names (two rows share a base name in one output folder), the same bytes,
// the same statuses, the same order of reports.
TEST_F(ConversionBatchTest, FourAtOnceGiveWhatOneAtATimeGives)
{
    struct Result {
        QStringList visits;
        QStringList statuses;
        QMap<QString, QByteArray> outputs; // by file name
        bool operator==(const Result&) const = default;
    };
    const auto runWith = [&](int jobs) {
        const QString run = QStringLiteral("run%1/").arg(jobs);
        list = std::make_unique<filelist::FileList>();
        addRow(run + QStringLiteral("one/x.flac"));
        addLongRow(run + QStringLiteral("two/x.flac"));
        addRow(run + QStringLiteral("done.flac"), RowState::Complete);
        addRow(run + QStringLiteral("three/x.flac"));
        addUndecodableRow(run + QStringLiteral("notaudio.flac"));
        addLongRow(run + QStringLiteral("y.flac"));
        options.optOtherFolder.setValue(true);
        options.txtOutPath.setText(path(run + QStringLiteral("out")));
        setJobs(jobs);

        Result result;
        const QMetaObject::Connection visits =
            QObject::connect(&batch, &convert::ConversionBatch::rowVisited, [&](int row, const QString& outFile) {
                result.visits << QStringLiteral("%1:%2").arg(row).arg(QFileInfo(outFile).fileName());
            });
        batch.cmdConvert.click();
        QObject::disconnect(visits);
        for (int row = 0; row < list->count(); ++row)
            result.statuses << status(row);
        const QDir out(path(run + QStringLiteral("out")));
        for (const QString& name : out.entryList(QDir::Files | QDir::Hidden))
            result.outputs[name] = readFile(out.filePath(name));
        return result;
    };
    const Result one = runWith(1);
    const Result four = runWith(4);

    EXPECT_EQ(one.visits, (QStringList{"0:x.wav", "1:x_Converted.wav", "2:", "3:x_Converted_0.wav", "4:", "5:y.wav"}));
    EXPECT_EQ(one.statuses.at(4), QStringLiteral("Error"));
    EXPECT_EQ(one.outputs.keys(), (QStringList{"x.wav", "x_Converted.wav", "x_Converted_0.wav", "y.wav"}));
    EXPECT_TRUE(one == four) << "one at a time: " << one.visits.join(u' ').toStdString()
                             << "\nfour at once: " << four.visits.join(u' ').toStdString();
}

// Every encoder path with four rows at once: streams, encoder processes and
// their hooks, the WMA and the other file encoders used side by side.
TEST_F(ConversionBatchTest, EveryEncoderPathConvertsFourRowsAtOnce)
{
    using F = options::FormatOptions;
    const std::pair<int, const char*> formats[] = {{F::WMA, "wma"},   {F::MP3, "mp3"},   {F::OGG, "ogg"},
                                                   {F::FLAC, "flac"}, {F::OPUS, "opus"}, {F::AAC, "m4a"}};
    setJobs(4);
    options.optOtherFolder.setValue(true);
    for (const auto& [format, extension] : formats) {
        list = std::make_unique<filelist::FileList>();
        for (int i = 0; i < 4; ++i)
            addRow(QStringLiteral("in/%1.flac").arg(i));
        const QString out = path(QString::fromLatin1(extension));
        options.txtOutPath.setText(out);
        options.optFileFormat(format).setValue(true);
        batch.cmdConvert.click();
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(status(row), QStringLiteral("Complete"))
                << extension << " row " << row << ": " << list->statusReason(row).toStdString();
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 4) << extension;
    }
}

TEST(BatchProgress, CountAndTimeLeft)
{
    struct Case {
        convert::ConversionBatch::Progress progress;
        const char* caption;
    };
    const Case cases[] = {
        {{0, 0, {}, {}}, ""},
        {{1, 40, {}, {}}, "1 of 40"}, // too early to tell
        {{12, 40, 180, {}}, "12 of 40 \u00B7 3:00 left"},
        {{2, 4, 25200, {}}, "2 of 4 \u00B7 7:00:00 left"},
        {{4, 4, 1, {}}, "4 of 4 \u00B7 0:01 left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert::ConversionBatch::progressCaption(c.progress), QString::fromUtf8(c.caption)) << c.caption;
}

// A batch as the time left sees it: rows converted `atOnce` at a time in
// their order, each opening for `openingMs` (converting nothing) and then
// converting `pace` audio seconds a second.
struct SimulatedBatch {
    struct Span {
        qint64 beginMs;
        qint64 endMs;
    };

    SimulatedBatch(std::vector<double> seconds, int rowsAtOnce, double rowPace, qint64 opening)
        : rows(std::move(seconds)), atOnce(rowsAtOnce), pace(rowPace), openingMs(opening)
    {
        std::vector<qint64> free(std::size_t(atOnce), 0);
        for (const double row : rows) {
            const auto worker = std::min_element(free.begin(), free.end());
            spans.push_back({*worker, *worker + openingMs + qint64(row / pace * 1000)});
            *worker = spans.back().endMs;
        }
    }

    qint64 endMs() const
    {
        qint64 end = 0;
        for (const Span& span : spans)
            end = std::max(end, span.endMs);
        return end;
    }

    //! Tells `estimate` where the batch stands at `nowMs`; gives the audio done.
    double report(convert::TimeLeftEstimate& estimate, qint64 nowMs) const
    {
        double done = 0;
        std::vector<double> runningLeft;
        std::size_t taken = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (nowMs < spans[i].beginMs)
                continue;
            ++taken;
            if (nowMs >= spans[i].endMs) {
                done += rows[i];
                continue;
            }
            const double converted = double(std::max<qint64>(0, nowMs - spans[i].beginMs - openingMs)) * pace / 1000;
            done += converted;
            runningLeft.push_back(rows[i] - converted);
        }
        estimate.update(done, runningLeft, taken);
        return done;
    }

    std::vector<double> rows;
    int atOnce;
    double pace;
    qint64 openingMs;
    std::vector<Span> spans;
};

// Files of 60, 600 and 30 seconds converted one at a time at a steady 30
// audio seconds a second: the estimate follows the audio left, not the
// rows, so it only ever counts down, and it never reads 0 while work is left.
TEST(TimeLeft, FollowsTheAudioLeftOverUnequalFiles)
{
    const SimulatedBatch batch({60, 600, 30}, 1, 30, 0);
    qint64 now = 0;
    convert::TimeLeftEstimate estimate([&now] { return now; });
    estimate.start(batch.rows, batch.atOnce);
    EXPECT_FALSE(estimate.secondsLeft()); // nothing measured yet
    qint64 previous = std::numeric_limits<qint64>::max();
    for (now = 500; now < batch.endMs(); now += 500) {
        batch.report(estimate, now);
        const std::optional<qint64> left = estimate.secondsLeft();
        if (!left) { // a second of work at least, and a pace that holds
            EXPECT_LT(now, 2500) << now;
            continue;
        }
        EXPECT_NEAR(double(*left), double(batch.endMs() - now) / 1000, 1.0) << now;
        EXPECT_LE(*left, previous) << now;
        EXPECT_GE(*left, 1) << now;
        previous = *left;
    }
}

// The same three files two at a time, as the window converts on two
// processors: the long one ends the batch alone, at the pace of one row.
// Each row begins with a fifth of a second that converts nothing (its
// decoder and encoder opening), the batch reports every 50 ms and the
// window reads twice a second: the figure never rises, never stays the same
// for a whole smoothing window, and once a tenth of the audio is done it is
// within 15 % of the time really left (up to the last seconds, where one
// whole second is more than that).
TEST(TimeLeft, CountsDownSteadilyAndTrueOverUnequalFiles)
{
    const SimulatedBatch batch({60, 600, 30}, 2, 15, 200);
    const double total = 60 + 600 + 30;
    qint64 now = 0;
    convert::TimeLeftEstimate estimate([&now] { return now; });
    estimate.start(batch.rows, batch.atOnce);
    std::optional<qint64> previous;
    qint64 changedAt = 0;
    for (now = 50; now < batch.endMs(); now += 50) {
        const double done = batch.report(estimate, now);
        if (now % 500 != 0)
            continue;
        const std::optional<qint64> left = estimate.secondsLeft();
        if (!left) {
            EXPECT_LT(now, 4000) << "no figure at " << now;
            continue;
        }
        const double real = double(batch.endMs() - now) / 1000;
        if (done >= total / 10 && real >= 7) { // below 7 s a whole second is more than 15 %
            EXPECT_NEAR(double(*left), real, 0.15 * real) << now;
        }
        if (!previous || *left != *previous)
            changedAt = now;
        EXPECT_LE(*left, previous.value_or(*left)) << now;
        EXPECT_LT(now - changedAt, convert::TimeLeftEstimate::kWindowMs) << now;
        previous = left;
    }
}

// Work that stands still for longer than the smoothing window has no time
// left to tell; the figure comes back once it has gone on steadily.
TEST(TimeLeft, NoFigureWhileTheWorkStandsStill)
{
    qint64 now = 0;
    convert::TimeLeftEstimate estimate([&now] { return now; });
    estimate.start({600}, 1);
    const auto report = [&estimate](double done) { estimate.update(done, {600 - done}, 1); };
    for (now = 100; now <= 3000; now += 100)
        report(double(now) / 100); // 10 audio seconds a second
    ASSERT_TRUE(estimate.secondsLeft());
    for (; now <= 3000 + convert::TimeLeftEstimate::kWindowMs; now += 100)
        report(30);
    EXPECT_FALSE(estimate.secondsLeft());
    // Once the stand-still has left the window, the pace holds again.
    for (const qint64 resumed = now; now <= resumed + convert::TimeLeftEstimate::kWindowMs + 3000; now += 100)
        report(30 + double(now - resumed) / 100);
    EXPECT_TRUE(estimate.secondsLeft());
}

TEST_F(ConversionBatchTest, MissingOutputFolderShowsTheBoxForEachRow)
{
    addRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("b.flac"));
    options.optOtherFolder.setValue(true);
    options.txtOutPath.setText(path(QStringLiteral("no/such")));

    batch.cmdConvert.click();

    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[1].text, QStringLiteral("Output Folder is not exist and can not be created."));
    // Each row asked to convert ends with what kept it from it.
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(status(row), QStringLiteral("Error")) << row;
        EXPECT_EQ(list->statusReason(row), desktop.boxes[1].text) << row;
    }
    EXPECT_EQ(batch.summary().failed, 2);
}

TEST_F(ConversionBatchTest, WithoutAFormatNothingIsConverted)
{
    addRow(QStringLiteral("a.flac"));
    options.optFileFormat(options::FormatOptions::WAV).setValue(false);
    EXPECT_TRUE(batch.ConvertFiles(convert::ConversionBatch::Choice::Unfinished)); // the row was taken up …
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));                    // … but nothing ran
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

// A row's state is data: a language whose words for "Error" and "Complete"
// are the same changes nothing of what the batch converts or counts.
TEST_F(ConversionBatchTest, StatesDoNotDependOnTheLanguagesWords)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("Lang"))));
    ASSERT_TRUE(testsupport::writeFile(home.filePath(QStringLiteral("Lang/Test.ini")),
                                       "[Tonemill]\n20007=Fertig\n20013=Fertig\n20014=Fertig\n"));
    qputenv("TONEMILL_HOME", home.path().toUtf8());
    lang::sLanguageFile = QStringLiteral("Test.ini");

    addRow(QStringLiteral("a.flac"));
    addUndecodableRow(QStringLiteral("bad.flac"));
    batch.cmdConvert.click();
    const convert::ConversionBatch::Summary summary = batch.summary();
    const QString shown = status(1);

    lang::sLanguageFile.clear();
    qunsetenv("TONEMILL_HOME");
    EXPECT_EQ(shown, QStringLiteral("Fertig"));
    EXPECT_EQ(rowState(0), RowState::Complete);
    EXPECT_EQ(rowState(1), RowState::Failed);
    EXPECT_EQ(summary.converted, 1);
    EXPECT_EQ(summary.failed, 1);
}

TEST_F(ConversionBatchTest, RowsOfAnotherFolderGoBesideTheirInput)
{
    ASSERT_TRUE(QDir().mkdir(path(QStringLiteral("sub"))));
    addRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("sub/b.flac"));
    batch.cmdConvert.click();
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a.wav"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("sub/b.wav"))));
}

} // namespace

TEST(BatchEligibility, WhichRowsEachButtonConverts)
{
    using Batch = convert::ConversionBatch;
    const struct {
        RowState state;
        bool convertAll;
    } cases[] = {
        {RowState::Waiting, true},   {RowState::Cancelled, true},        {RowState::Failed, true},
        {RowState::Complete, false}, {RowState::CompleteDamaged, false}, {RowState::NotSupported, false},
    };
    for (const auto& c : cases) {
        filelist::FileListRow row;
        row.state = c.state;
        EXPECT_EQ(Batch::convertsOnConvertAll(c.state), c.convertAll) << int(c.state);
        EXPECT_FALSE(Batch::convertsOnConvertSelected(row)) << int(c.state); // not ticked
        row.CheckBox = 1;
        EXPECT_EQ(Batch::convertsOnConvertSelected(row), c.state != RowState::NotSupported) << int(c.state);
    }
}

TEST_F(ConversionBatchTest, FailedRowsRetryAndAFinishedListConvertsAgain)
{
    const QString out = path(QStringLiteral("out"));
    options.optOtherFolder.setValue(true);
    options.txtOutPath.setText(out);
    addRow(QStringLiteral("a.flac"));
    filelist::FileListRow missing;
    missing.path = path(QStringLiteral("b.flac"));
    ASSERT_TRUE(list->append(missing));
    filelist::FileListRow unsupported;
    unsupported.path = path(QStringLiteral("c.xyz"));
    unsupported.state = RowState::NotSupported;
    ASSERT_TRUE(list->append(unsupported));

    batch.cmdConvert.click();
    EXPECT_EQ(rowState(0), RowState::Complete);
    EXPECT_EQ(rowState(1), RowState::Failed);
    EXPECT_FALSE(list->statusReason(1).isEmpty());

    // The input is back: the failed row alone is converted again.
    ASSERT_TRUE(s_media.copy(QStringLiteral("tone.flac"), missing.path));
    batch.cmdConvert.click();
    EXPECT_EQ(rowState(1), RowState::Complete);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);

    // Another format: everything is converted, after one question.
    options.optFileFormat(options::FormatOptions::FLAC).setValue(true);
    desktop.answers.push_back(platform::Desktop::Answer::Yes);
    batch.cmdConvert.click();
    EXPECT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/a.flac")));
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/b.flac")));

    // Convert Selected takes a ticked complete row; an unopenable one never.
    list->setCell(0, filelist::FileList::CheckBox, 1);
    list->setCell(2, filelist::FileList::CheckBox, 1);
    batch.cmdConvertSelected.click();
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/a_Converted.flac"))); // the earlier whole file is kept
    EXPECT_EQ(rowState(2), RowState::NotSupported);
    EXPECT_EQ(batch.summary().converted, 1);
}

TEST_F(ConversionBatchTest, TheEndOfABatchSaysHowItWentAndRowsAddedMeanwhileWait)
{
    // All three at once, to Ogg Vorbis: the long row is still encoding when
    // the other two have ended.
    setJobs(3);
    options.optFileFormat(options::FormatOptions::OGG).setValue(true);
    addRow(QStringLiteral("a.flac"));
    addUndecodableRow(QStringLiteral("bad.flac"));
    addLongRow(QStringLiteral("long.flac"));
    int totalSeen = 0;
    desktop.onProcessEvents = [&] {
        if (list->count() > 3 || rowState(0) != RowState::Complete || rowState(1) != RowState::Failed)
            return;
        addRow(QStringLiteral("late.flac")); // dropped on the grid meanwhile
        totalSeen = batch.progress().total;
        batch.cmdConvert.click(); // Stop
    };
    batch.cmdConvert.click();

    EXPECT_EQ(totalSeen, 3);
    EXPECT_EQ(batch.summary(), (convert::ConversionBatch::Summary{1, 1, 1, {dir.path()}}));
    EXPECT_EQ(desktop.notifications, QStringList{"Conversion finished: 1 converted, 1 failed, 1 stopped"});
    EXPECT_EQ(rowState(3), RowState::Waiting);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("late.ogg"))));
}

TEST_F(ConversionBatchTest, PowerOffOnlyAfterAConversionAndTheCountdown)
{
    int saves = 0;
    batch.setSaveSettings([&saves] { ++saves; });
    batch.chkShutdown.setValue(true);
    const struct {
        bool inputThere;
        std::deque<bool> answers;
        int countdowns, powerOffs;
    } cases[] = {
        {false, {true}, 0, 0}, // nothing converted: no countdown at all
        {true, {false}, 1, 0}, // cancelled
        {true, {true}, 1, 1},  // ran out, or "Power off now"
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(run);
        list = std::make_unique<filelist::FileList>();
        filelist::FileListRow row;
        row.path = path(QStringLiteral("p%1.flac").arg(run++));
        if (c.inputThere) {
            ASSERT_TRUE(s_media.copy(QStringLiteral("tone.flac"), row.path));
        }
        ASSERT_TRUE(list->append(row));
        desktop.powerOffAnswers = c.answers;
        desktop.powerOffCountdowns = desktop.powerOffs = saves = 0;
        batch.cmdConvert.click();
        EXPECT_EQ(desktop.powerOffCountdowns, c.countdowns);
        EXPECT_EQ(desktop.powerOffs, c.powerOffs);
        EXPECT_EQ(saves, c.countdowns); // the options are saved before the countdown
    }
}
