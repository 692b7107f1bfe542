#include "BatchTestFolder.h"
#include "convert/ConversionBatch.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"
#include "support/SuiteMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <memory>

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

    //! Adds a row for a copy of the tone named `name`, with `status`.
    void addRow(const QString& name, const QString& status = QStringLiteral("Waiting Conversion"), int ticked = 0,
                const QString& source = QStringLiteral("tone.flac"))
    {
        const QString file = dir.filePath(name);
        if (!QFile::exists(file)) {
            ASSERT_TRUE(s_media.copy(source, file));
        }
        filelist::FileListRow row;
        row.FilePath = file;
        row.Status = status;
        row.CheckBox = ticked;
        ASSERT_TRUE(list->append(row));
    }
    void addLongRow(const QString& name)
    {
        addRow(name, QStringLiteral("Waiting Conversion"), 0, QStringLiteral("long.flac"));
    }
    QString status(int row) const { return list->at(row).Status; }
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
    addRow(QStringLiteral("b.flac"), QStringLiteral("Cancelled"));
    addRow(QStringLiteral("c.flac"), QStringLiteral("Error"));
    addRow(QStringLiteral("d.flac"), QStringLiteral("Complete"));
    addRow(QStringLiteral("e.flac"), QStringLiteral("waiting conversion")); // not the exact text

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

    EXPECT_EQ(status(0), QStringLiteral("Complete"));
    EXPECT_EQ(status(1), QStringLiteral("Complete"));
    EXPECT_EQ(status(2), QStringLiteral("Error"));
    EXPECT_EQ(status(3), QStringLiteral("Complete"));
    EXPECT_EQ(status(4), QStringLiteral("waiting conversion"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a.wav"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("b.wav"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("c.wav"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("e.wav"))));

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

    // A second click finds nothing left and, even with the box ticked, does not power off.
    batch.chkShutdown.setValue(true);
    batch.cmdConvert.click();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a_Converted.wav"))));
    EXPECT_EQ(desktop.powerOffs, 0);
}

TEST_F(ConversionBatchTest, ConvertSelectedConvertsOnlyTickedRows)
{
    addRow(QStringLiteral("a.flac"));
    addRow(QStringLiteral("b.flac"));
    batch.chkShutdown.setValue(true);

    EXPECT_FALSE(batch.ConvertFiles(true));
    batch.cmdConvertSelected.click();
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(1), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(desktop.powerOffs, 0);

    list->setCell(1, filelist::FileList::CheckBox, -1); // any non-zero value is a tick
    batch.cmdConvertSelected.click();
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(1), QStringLiteral("Complete"));
    EXPECT_EQ(desktop.powerOffs, 1);
    EXPECT_EQ(batch.cmdConvertSelected.Caption(), QStringLiteral("Convert Selected"));
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
    EXPECT_EQ(list->textColor(0, filelist::FileList::Status), convert::ConversionSession::kFailureColor);
    EXPECT_EQ(status(1), QStringLiteral("Waiting Conversion"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b.wav"))));
    EXPECT_FALSE(state.bConverting);
    EXPECT_FALSE(state.bCancelConversion);
    EXPECT_EQ(finished, 1);
    // One row had started, so the machine is powered off even after a stop.
    EXPECT_EQ(desktop.powerOffs, 1);

    // The cancelled row is converted again by the next batch, under a free name.
    desktop.onProcessEvents = nullptr;
    batch.cmdConvert.click();
    EXPECT_EQ(status(0), QStringLiteral("Complete"));
    EXPECT_EQ(status(1), QStringLiteral("Complete"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a_Converted.wav"))));
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
        addRow(run + QStringLiteral("done.flac"), QStringLiteral("Complete"));
        addRow(run + QStringLiteral("three/x.flac"));
        const QString damaged = path(run + QStringLiteral("notaudio.flac"));
        EXPECT_TRUE(testsupport::writeFile(damaged, QByteArray(4096, 'z')));
        filelist::FileListRow bad;
        bad.FilePath = damaged;
        bad.Status = QStringLiteral("Waiting Conversion");
        EXPECT_TRUE(list->append(bad));
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
        {{0, 0, 0.0, 0, {}}, ""},
        {{1, 40, 0.0, 0, {}}, "1 of 40"},
        {{12, 40, 10.0, 500, {}}, "12 of 40"}, // too early to tell
        {{12, 40, 10.0, 60000, {}}, "12 of 40 \u00B7 3:00 left"},
        {{2, 4, 0.5, 3600000, {}}, "2 of 4 \u00B7 7:00:00 left"},
        {{4, 4, 4.0, 9000, {}}, "4 of 4 \u00B7 0:00 left"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert::ConversionBatch::progressCaption(c.progress), QString::fromUtf8(c.caption)) << c.caption;
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
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(1), QStringLiteral("Waiting Conversion"));
}

TEST_F(ConversionBatchTest, WithoutAFormatNothingIsConverted)
{
    addRow(QStringLiteral("a.flac"));
    options.optFileFormat(options::FormatOptions::WAV).setValue(false);
    EXPECT_TRUE(batch.ConvertFiles(false));                     // the row was taken up …
    EXPECT_EQ(status(0), QStringLiteral("Waiting Conversion")); // … but nothing ran
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

TEST_F(ConversionBatchTest, EligibilityFollowsTheCurrentLanguage)
{
    QTemporaryDir home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("Lang"))));
    ASSERT_TRUE(testsupport::writeFile(home.filePath(QStringLiteral("Lang/Test.ini")),
                                       "[Tonemill]\n20007=En attente\n20014=Fini\n"));
    qputenv("TONEMILL_HOME", home.path().toUtf8());
    lang::sLanguageFile = QStringLiteral("Test.ini");

    addRow(QStringLiteral("a.flac")); // written in English
    addRow(QStringLiteral("b.flac"), QStringLiteral("En attente"));
    batch.cmdConvert.click();
    const QString first = status(0), second = status(1);

    lang::sLanguageFile.clear();
    qunsetenv("TONEMILL_HOME");
    EXPECT_EQ(first, QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(second, QStringLiteral("Fini"));
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
