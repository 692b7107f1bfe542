#include "filelist/AddFilesFilters.h"
#include "filelist/AddFilesSelection.h"
#include "platform/Desktop.h"

#include <gtest/gtest.h>

using platform::OpenFileAnswer;

TEST(AddFilesSelection, DialogAnswersKeepThePathsChosen)
{
    EXPECT_EQ(OpenFileAnswer::chosen({QStringLiteral("/music/a.mp3")}).paths(), QStringList{"/music/a.mp3"});
    const QStringList apart{"/m/x/a.mp3", "/m/y/b.mp3", "/n/c.mp3"};
    EXPECT_EQ(OpenFileAnswer::chosen(apart).paths(), apart);
    EXPECT_TRUE(OpenFileAnswer::chosen({}).cancelled());
    EXPECT_TRUE(OpenFileAnswer().cancelled());
}

TEST(AddFilesSelection, AnswersOverFiveThousandCharactersFailTheDialog)
{
    // Counted in the classic text form: one path and its NUL; several as the
    // common folder (the root keeps its "/"), NUL, each path relative to it
    // followed by NUL, and a closing NUL. A folder name that merely starts
    // like another is not a common folder.
    struct Case {
        QStringList paths;
        qsizetype length;
    };
    const Case cases[] = {
        {{"/music/a.mp3"}, 13},
        {{"/music/a.mp3", "/music/b.wav", "/music/c.ogg"}, 6 + 1 + 3 * 6 + 1},
        {{"/a.mp3", "/b.mp3"}, 1 + 1 + 2 * 6 + 1},
        {{"/m/x/a.mp3", "/m/y/b.mp3"}, 2 + 1 + 2 * 8 + 1},
        {{"/mus/a.mp3", "/music/b.mp3"}, 1 + 1 + 10 + 12 + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenFileAnswer::textLength(c.paths), c.length) << qPrintable(c.paths.join(u' '));

    // A single path needs its terminating NUL inside the limit.
    const QString fits = u'/' + QString(4998 - 4, u'a') + QStringLiteral(".mp3");
    ASSERT_EQ(fits.size(), 4999);
    EXPECT_EQ(OpenFileAnswer::chosen({fits}).paths(), QStringList{fits});
    EXPECT_TRUE(OpenFileAnswer::chosen({fits + u'x'}).cancelled());

    // Several: "/m" NUL, then names of 9 characters each with its NUL, then a
    // closing NUL: 3 + 10 n + 1 characters.
    QStringList paths;
    for (int i = 0; i < 499; ++i)
        paths << QStringLiteral("/m/%1.mp3").arg(i, 5, 10, QLatin1Char('0'));
    EXPECT_EQ(OpenFileAnswer::textLength(paths), 3 + 10 * 499 + 1);
    EXPECT_EQ(OpenFileAnswer::chosen(paths).paths(), paths);
    paths << QStringLiteral("/m/99999.mp3");
    EXPECT_TRUE(OpenFileAnswer::chosen(paths).cancelled());
}

TEST(AddFilesSelection, NamesInAFolderBecomePaths)
{
    EXPECT_EQ(filelist::addfiles::pathsInFolder(QStringLiteral("/music"), {"a.mp3", "sub/b.wav"}),
              (QStringList{"/music/a.mp3", "/music/sub/b.wav"}));
    // The root keeps a single "/".
    EXPECT_EQ(filelist::addfiles::pathsInFolder(QStringLiteral("/"), {"a.wav", ".b.mp3"}),
              (QStringList{"/a.wav", "/.b.mp3"}));
    EXPECT_EQ(filelist::addfiles::pathsInFolder(QStringLiteral("/m"), {"a*b.wav"}), QStringList{"/m/a*b.wav"});
    EXPECT_TRUE(filelist::addfiles::pathsInFolder(QStringLiteral("/m"), {}).isEmpty());
}

TEST(AddFilesSelection, FilterListsOfTheTwoDialogs)
{
    const QList<platform::Desktop::FileFilter> audio = filelist::addfiles::audioFileFilters();
    ASSERT_EQ(audio.size(), 24);
    EXPECT_EQ(audio[0].description, QStringLiteral("All Supported Audio Formats"));
    EXPECT_EQ(audio[0].patterns,
              QStringLiteral("*.cda;*.cue;*.wav;*.wma;*.mp1;*.mp2;*.mp3;*.mp4;*.ogg;*.aac;*.alac;*.flac;"
                             "*.ac3;*.spx;*.mpc;*.tta;*.ape;*.ofr;*.midi;*.adx;*.mod;*.mo3;"
                             "*.m4a;*.opus;*.aiff;*.aif;*.wv;*.mka"));
    EXPECT_EQ(audio[1], (platform::Desktop::FileFilter{"Common Audio Files(*.wav,*.wma,*.mp3,*.ogg)",
                                                       "*.wav;*.wma;*.mp3;*.ogg"}));
    EXPECT_EQ(audio[2],
              (platform::Desktop::FileFilter{"MPEG Files(.mp1,*.mp2,*.mp3,*.mp4)", "*.mp1;*.mp2;*.mp3;*.mp4"}));
    EXPECT_EQ(audio[3], (platform::Desktop::FileFilter{"CD Audio Tracks(*.cue)", "*.cue"}));
    EXPECT_EQ(audio[8], audio[11]);
    EXPECT_EQ(audio[8], (platform::Desktop::FileFilter{"Apple Lossless Audio Codec Files(*.alac)", "*.alac"}));
    EXPECT_EQ(audio[12], (platform::Desktop::FileFilter{"Monkey's Audio Files(*.ape)", "*.ape"}));
    EXPECT_EQ(audio[18], (platform::Desktop::FileFilter{"WavPack Encoded Files(*.wv)", "*.wv"}));
    EXPECT_EQ(audio[19], (platform::Desktop::FileFilter{"ADX Files(*.adx)", "*.adx"}));
    EXPECT_EQ(audio[20], (platform::Desktop::FileFilter{"MPEG-4 Audio Files(*.m4a)", "*.m4a"}));
    EXPECT_EQ(audio[21], (platform::Desktop::FileFilter{"Opus Files(*.opus)", "*.opus"}));
    EXPECT_EQ(audio[22], (platform::Desktop::FileFilter{"AIFF Files(*.aiff,*.aif)", "*.aiff;*.aif"}));
    EXPECT_EQ(audio[23], (platform::Desktop::FileFilter{"Matroska Audio Files(*.mka)", "*.mka"}));

    const QList<platform::Desktop::FileFilter> video = filelist::addfiles::videoFileFilters();
    ASSERT_EQ(video.size(), 8);
    EXPECT_EQ(video[0], (platform::Desktop::FileFilter{
                            "All Supported Video Formats",
                            "*.wmv;*.asf;*.avi;*.mpg;*.mp2;*.mpeg;*.mp4;*.mov;*.dat;*.mkv;*.webm;*.flv"}));
    EXPECT_EQ(video[1],
              (platform::Desktop::FileFilter{"MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4)", "*.mpg;*.mp2;*.mpeg;*.mp4"}));
    EXPECT_EQ(video[4], (platform::Desktop::FileFilter{"QuickTime Files-Ver2 or less(*.mov)", "*.mov"}));
    EXPECT_EQ(video[7], (platform::Desktop::FileFilter{"Flash Video Files(*.flv)", "*.flv"}));
}
