#include "StreamTestHelpers.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "platform/Desktop.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

//! Records the message boxes instead of showing them.
class ScriptedDesktop : public platform::Desktop {
public:
    struct Box {
        QString text, title;
        Icon icon;
        Buttons buttons;
    };
    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override
    {
        boxes.push_back({text, title, icon, buttons});
        return Answer::Ok;
    }
    void processEvents() override {}
    void dragWindow() override {}
    std::vector<Box> boxes;
};

TEST(AudioEngineTest, ErrorTextsAreTheFixedEnglishTable)
{
    const std::pair<int, const char*> table[] = {
        {0, "All is OK"},
        {1, "Memory Error"},
        {2, "Can't Open the File"},
        {3, "Can't Find a Free Sound Driver"},
        {4, "The Sample Buffer Was Lost - Please Report This!"},
        {5, "Invalid Handle"},
        {6, "Unsupported Format"},
        {7, "Invalid Playback Position"},
        {8, "BASS_Init Has Not Been Successfully Called"},
        {9, "BASS_Start Has Not Been Successfully Called"},
        {14, "Already Initialized"},
        {18, "Can't Get a Free Channel"},
        {19, "An Illegal Type Was Specified"},
        {20, "An Illegal Parameter Was Specified"},
        {21, "No 3D Support"},
        {22, "No EAX Support"},
        {23, "Illegal Device Number"},
        {24, "Not Playing"},
        {25, "Illegal Sample Rate"},
        {27, "The Stream is Not a File Stream (WAV/MP3)"},
        {29, "No Hardware Voices Available"},
        {31, "The MOD music has no sequence data"},
        {32, "No Internet connection could be opened"},
        {33, "Couldn't create the file"},
        {34, "Effects are not enabled"},
        {37, "The requested data is not available"},
        {38, "The channel is a 'decoding channel'"},
        {-1, "Some Other Mystery Error"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(engine::BassErrorText(code), QString::fromLatin1(text)) << code;
    for (int unknown : {10, 35, 11, 26, 39, 41, -2, 1000})
        EXPECT_TRUE(engine::BassErrorText(unknown).isEmpty()) << unknown;
}

TEST(AudioEngineTest, InitFailureBoxes)
{
    const QString head =
        QStringLiteral("Error: Couldn't Initialize Digital Output, The program will not work correclty.\n"
                       "The sound device may not be installed correclty.\n");
    const std::tuple<int, const char*, const char*> table[] = {
        {1, "Digital output", "Error Code:BASS_ERROR_MEM"},
        {3, "Digital output", "Error Code:BASS_ERROR_DRIVER"},
        {6, "Digital output", "Error Code:BASS_ERROR_FORMAT"},
        {21, "Digital output", "Error Code:BASS_ERROR_NO3D"},
        {23, "Initialaization Error", "Error Code:BASS_ERROR_DEVICE"},
        {-1, "Digital output", "Error Code:BASS_ERROR_UNKNOWN"},
        {8, "Digital output", "Error Code:BASS_ERROR_UNKNOWN2"},
        {0, "Digital output", "Error Code:BASS_ERROR_UNKNOWN2"},
    };
    for (const auto& [code, title, line] : table) {
        const engine::InitFailureBox box = engine::InitFailureMessage(code);
        EXPECT_EQ(box.title, QString::fromLatin1(title)) << code;
        EXPECT_EQ(box.text, head + QString::fromLatin1(line)) << code;
        EXPECT_TRUE(box.fatal) << code;
    }
    const engine::InitFailureBox already = engine::InitFailureMessage(14);
    EXPECT_EQ(already.title, QStringLiteral("Digital output"));
    EXPECT_EQ(already.text,
              QStringLiteral("Error: Couldn't Initialize Digital Output.\nError Code:BASS_ERROR_ALREADY"));
    EXPECT_FALSE(already.fatal);
}

TEST(AudioEngineTest, StartUpLoadsModulesAndTagNamesAndSurvivesASecondStart)
{
    BASS_PluginFree(0);
    ScriptedDesktop desktop;
    const bool started = engine::InitAudioEngine(desktop);
    if (!desktop.boxes.empty()) {
        // No usable output here: the failure box for the engine's code, and
        // start-up stops unless the engine was already running.
        const engine::InitFailureBox expected = engine::InitFailureMessage(BASS_ErrorGetCode());
        ASSERT_EQ(desktop.boxes.size(), 1u);
        EXPECT_EQ(desktop.boxes[0].text, expected.text);
        EXPECT_EQ(desktop.boxes[0].title, expected.title);
        EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);
        EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::Ok);
        EXPECT_EQ(started, !expected.fatal);
        if (expected.fatal)
            GTEST_SKIP() << "the output device could not be started here";
    }
    EXPECT_TRUE(started);
    const QStringList tags{QStringLiteral("Title"),       QStringLiteral("Author"), QStringLiteral("WM/AlbumTitle"),
                           QStringLiteral("Description"), QStringLiteral("Rating"), QStringLiteral("Copyright"),
                           QStringLiteral("WM/Genre"),    QStringLiteral("WM/Year")};
    EXPECT_EQ(engine::WMATagNames, tags);
    EXPECT_NE(BASS_PluginLoad("bassflac.dll", 0), 0u) << "modules are loaded";

    // The engine is already running now: the two-line box, and start-up goes on.
    ScriptedDesktop again;
    EXPECT_TRUE(engine::InitAudioEngine(again));
    ASSERT_EQ(again.boxes.size(), 1u);
    EXPECT_EQ(again.boxes[0].title, QStringLiteral("Digital output"));
    EXPECT_EQ(again.boxes[0].text,
              QStringLiteral("Error: Couldn't Initialize Digital Output.\nError Code:BASS_ERROR_ALREADY"));
    EXPECT_EQ(again.boxes[0].icon, platform::Desktop::Icon::Critical);
    BASS_Free();
}

TEST(AudioEngineTest, OpeningRoutinesAddTheUnicodeFlag)
{
    engine::LoadFormatModules();
    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("t.wav"));
    ASSERT_TRUE(testsupport::makeTone(wav, 0.25, 8000, 1));
    const HSTREAM stream = engine::OpenStream(false, wav, 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(engine::ChannelRegistry::global().find(stream)->flags, BASS_STREAM_DECODE | BASS_UNICODE);
    EXPECT_DOUBLE_EQ(engine::ChannelSeconds(stream, 4000), 0.25);
    BASS_StreamFree(stream);

    // Offset and length select a window of the file: here the WAV minus the last half of its data.
    const QByteArray bytes = testsupport::readFile(wav);
    ASSERT_TRUE(bytes.contains("data"));
    const DWORD dataStart = static_cast<DWORD>(bytes.indexOf("data") + 8);
    const HSTREAM window = engine::OpenStream(false, wav, 0, dataStart + 2000, BASS_STREAM_DECODE);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(window, BASS_POS_BYTE), 2000u);
    BASS_StreamFree(window);
}

} // namespace
