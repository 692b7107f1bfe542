#include "StreamTestHelpers.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace streamtest;

namespace {

class FormatModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        const QString wav = s_dir->filePath(QStringLiteral("tone.wav"));
        ASSERT_TRUE(testsupport::makeTone(wav, 0.4, 44100, 2));
        for (const QString& name : {QStringLiteral("tone.flac"), QStringLiteral("tone.mp3"), QStringLiteral("tone.ogg"),
                                    QStringLiteral("tone.aiff")})
            ASSERT_TRUE(testsupport::makeTone(s_dir->filePath(name), 0.4, 44100, 2));
        ASSERT_TRUE(testsupport::makeTone(s_dir->filePath(QStringLiteral("tone.m4a")), 0.4, 44100, 2,
                                          {QStringLiteral("-c:a"), QStringLiteral("aac")}));
        ASSERT_TRUE(testsupport::makeTone(s_dir->filePath(QStringLiteral("tone.wma")), 0.4, 44100, 2,
                                          {QStringLiteral("-c:a"), QStringLiteral("wmav2")}));
        ASSERT_TRUE(testsupport::makeTone(s_dir->filePath(QStringLiteral("tone.ac3")), 0.4, 44100, 2));
        ASSERT_TRUE(testsupport::makeTone(s_dir->filePath(QStringLiteral("tone.wv")), 0.4, 44100, 2));
    }
    static void TearDownTestSuite() { delete s_dir; }
    void SetUp() override { BASS_PluginFree(0); }
    void TearDown() override { BASS_PluginFree(0); }

    static QString file(const char* name) { return s_dir->filePath(QString::fromLatin1(name)); }

    //! 0 when the file opens, else the error code.
    static int openResult(const char* name)
    {
        const HSTREAM handle = openDecoding(file(name));
        const int code = BASS_ErrorGetCode();
        if (handle)
            BASS_StreamFree(handle);
        return handle ? 0 : code;
    }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* FormatModuleTest::s_dir = nullptr;

TEST_F(FormatModuleTest, EngineReadsItsOwnFormatsWithoutAnyModule)
{
    EXPECT_EQ(openResult("tone.wav"), 0);
    EXPECT_EQ(openResult("tone.aiff"), 0);
    EXPECT_EQ(openResult("tone.mp3"), 0);
    EXPECT_EQ(openResult("tone.ogg"), 0);
    EXPECT_EQ(openResult("tone.flac"), BASS_ERROR_FORMAT);
    EXPECT_EQ(openResult("tone.m4a"), BASS_ERROR_FORMAT);
    EXPECT_EQ(openResult("tone.wma"), BASS_ERROR_FORMAT);
    EXPECT_EQ(openResult("tone.ac3"), BASS_ERROR_FORMAT);
    EXPECT_EQ(openResult("tone.wv"), BASS_ERROR_FORMAT);
}

TEST_F(FormatModuleTest, LoadingAModuleEnablesItsFormatsOnly)
{
    EXPECT_EQ(openResult("tone.flac"), BASS_ERROR_FORMAT);
    const HPLUGIN flac = BASS_PluginLoad("bassflac.dll", 0);
    ASSERT_NE(flac, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(openResult("tone.flac"), 0);
    EXPECT_EQ(openResult("tone.m4a"), BASS_ERROR_FORMAT);

    // The module that opened a stream is named in its information.
    const HSTREAM handle = openDecoding(file("tone.flac"));
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.plugin, flac);
    BASS_StreamFree(handle);
    const HSTREAM own = openDecoding(file("tone.wav"));
    ASSERT_TRUE(BASS_ChannelGetInfo(own, &info));
    EXPECT_EQ(info.plugin, 0u);
    BASS_StreamFree(own);

    // Loading again gives the same module; names are matched without case or folder.
    EXPECT_EQ(BASS_PluginLoad("BASSFLAC.DLL", 0), flac);
    EXPECT_EQ(BASS_PluginLoad("/some/folder/bassflac.dll", 0), flac);

    ASSERT_TRUE(BASS_PluginFree(flac));
    EXPECT_EQ(openResult("tone.flac"), BASS_ERROR_FORMAT);
    EXPECT_FALSE(BASS_PluginFree(flac));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(FormatModuleTest, EachModuleEnablesItsFamily)
{
    struct Case {
        const char* module;
        const char* file;
    };
    for (const Case& c : {Case{"bass_aac.dll", "tone.m4a"}, Case{"basswma.dll", "tone.wma"},
                          Case{"bass_ac3.dll", "tone.ac3"}, Case{"basswv.dll", "tone.wv"}}) {
        SCOPED_TRACE(c.module);
        EXPECT_EQ(openResult(c.file), BASS_ERROR_FORMAT);
        EXPECT_NE(BASS_PluginLoad(c.module, 0), 0u);
        EXPECT_EQ(openResult(c.file), 0);
    }
}

TEST_F(FormatModuleTest, ModulesWithoutABackingLibraryFailQuietly)
{
    EXPECT_EQ(BASS_PluginLoad("bass_ofr.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_PluginLoad("basscd.dll", 0), 0u);
    EXPECT_EQ(BASS_PluginLoad("no_such_module.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_PluginLoad(nullptr, 0), 0u);

    // OptimFROG files stay unreadable even with every module loaded.
    engine::LoadFormatModules();
    QTemporaryDir dir;
    const QString ofr = dir.filePath(QStringLiteral("x.ofr"));
    ASSERT_TRUE(testsupport::writeFile(ofr, QByteArray("OFR ") + QByteArray(4000, '\x11')));
    EXPECT_EQ(openDecoding(ofr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
}

TEST_F(FormatModuleTest, TheFourteenModulesLoadInOrderWithTwelveAvailable)
{
    const QStringList& names = engine::FormatModuleNames();
    ASSERT_EQ(names.size(), 14);
    EXPECT_EQ(names.first(), QStringLiteral("basswma.dll"));
    EXPECT_EQ(names.last(), QStringLiteral("basscd.dll"));
    int loaded = 0;
    for (const QString& name : names) {
        if (BASS_PluginLoad(name.toLatin1().constData(), 0))
            ++loaded;
    }
    EXPECT_EQ(loaded, 12);
    EXPECT_EQ(openResult("tone.flac"), 0);
    EXPECT_EQ(openResult("tone.m4a"), 0);
}

} // namespace
