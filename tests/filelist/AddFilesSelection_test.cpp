#include "filelist/AddFilesFilters.h"
#include "filelist/AddFilesSelection.h"
#include "platform/Desktop.h"

#include <gtest/gtest.h>

using filelist::addfiles::selectionPaths;

namespace {

const QChar kNul(0);

QString joined(const QStringList& items)
{
    return items.join(kNul);
}

} // namespace

TEST(AddFilesSelection, DialogAnswersKeepTheirForm)
{
    // One file: its full path alone.
    EXPECT_EQ(platform::Desktop::openFileAnswer({QStringLiteral("/music/a.mp3")}), QStringLiteral("/music/a.mp3"));
    // Several: the folder, each name followed by NUL, and a closing NUL.
    EXPECT_EQ(platform::Desktop::openFileAnswer({"/music/a.mp3", "/music/b.wav", "/music/c.ogg"}),
              joined({"/music", "a.mp3", "b.wav", "c.ogg", "", ""}));
    // In the root the folder keeps its separator.
    EXPECT_EQ(platform::Desktop::openFileAnswer({"/a.mp3", "/b.mp3"}), joined({"/", "a.mp3", "b.mp3", "", ""}));
    // From different folders: names relative to the common folder.
    EXPECT_EQ(platform::Desktop::openFileAnswer({"/m/x/a.mp3", "/m/y/b.mp3"}),
              joined({"/m", "x/a.mp3", "y/b.mp3", "", ""}));
    EXPECT_EQ(platform::Desktop::openFileAnswer({"/m/a.mp3", "/n/b.mp3"}), joined({"/", "m/a.mp3", "n/b.mp3", "", ""}));
    // A folder name that merely starts like another is not a common folder.
    EXPECT_EQ(platform::Desktop::openFileAnswer({"/mus/a.mp3", "/music/b.mp3"}),
              joined({"/", "mus/a.mp3", "music/b.mp3", "", ""}));
    EXPECT_EQ(platform::Desktop::openFileAnswer({}), QStringLiteral("Cancel"));
}

TEST(AddFilesSelection, AnswersOverFiveThousandCharactersFailTheDialog)
{
    // A single path needs its terminating NUL inside the limit.
    const QString fits = u'/' + QString(4998 - 4, u'a') + QStringLiteral(".mp3");
    ASSERT_EQ(fits.size(), 4999);
    EXPECT_EQ(platform::Desktop::openFileAnswer({fits}), fits);
    EXPECT_EQ(platform::Desktop::openFileAnswer({fits + u'x'}), QStringLiteral("Cancel"));

    // Several: "/m" NUL, then names of 9 characters each with its NUL, then a
    // closing NUL: 3 + 10 n + 1 characters.
    QStringList paths;
    for (int i = 0; i < 499; ++i)
        paths << QStringLiteral("/m/%1.mp3").arg(i, 5, 10, QLatin1Char('0'));
    const QString answer = platform::Desktop::openFileAnswer(paths);
    EXPECT_EQ(answer.size(), 3 + 10 * 499 + 1);
    EXPECT_EQ(selectionPaths(answer), paths);
    paths << QStringLiteral("/m/99999.mp3");
    EXPECT_EQ(platform::Desktop::openFileAnswer(paths), QStringLiteral("Cancel"));
}

TEST(AddFilesSelection, SelectionTextsBecomePaths)
{
    EXPECT_EQ(selectionPaths(QStringLiteral("/music/a b.mp3")), QStringList{"/music/a b.mp3"});
    EXPECT_EQ(selectionPaths(joined({"/music", "a.mp3", "b.wav", "", ""})),
              (QStringList{"/music/a.mp3", "/music/b.wav"}));
    EXPECT_EQ(selectionPaths(joined({"/", "a.mp3", "b.wav", "", ""})), (QStringList{"/a.mp3", "/b.wav"}));
    EXPECT_EQ(selectionPaths(joined({"/m", "x/a.mp3"})), QStringList{"/m/x/a.mp3"});
    EXPECT_TRUE(selectionPaths(QString()).isEmpty());
    // A lone trailing NUL survives the pair removal and yields an empty name.
    EXPECT_EQ(selectionPaths(joined({"/m", "a.mp3", ""})), (QStringList{"/m/a.mp3", "/m/"}));
    // The folder button's form: the folder as the picker gave it, then the names.
    EXPECT_EQ(filelist::addfiles::folderSelection(QStringLiteral("/"), {"a.wav", ".b.mp3"}),
              joined({"/", "a.wav", ".b.mp3"}));
    EXPECT_EQ(selectionPaths(filelist::addfiles::folderSelection(QStringLiteral("/m"), {"a*b.wav"})),
              QStringList{"/m/a*b.wav"});
}

TEST(AddFilesSelection, FilterListsOfTheTwoDialogs)
{
    const QList<platform::Desktop::FileFilter> audio = filelist::addfiles::audioFileFilters();
    ASSERT_EQ(audio.size(), 23);
    EXPECT_EQ(audio[0].description, QStringLiteral("All Supported Audio Formats"));
    EXPECT_EQ(audio[0].patterns,
              QStringLiteral("*.cda;*.cue;*.wav;*.wma;*.mp1;*.mp2;*.mp3;*.mp4;*.ogg;*.aac;*.alac;*.flac;"
                             "*.ac3;*.spx;*.mpc;*.tta;*.ape;*.ofr;*.midi;*.adx;*.mod;*.mo3;"
                             "*.m4a;*.opus;*.aiff;*.aif;*.wv"));
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

    const QList<platform::Desktop::FileFilter> video = filelist::addfiles::videoFileFilters();
    ASSERT_EQ(video.size(), 5);
    EXPECT_EQ(video[0], (platform::Desktop::FileFilter{"All Supported Video Formats",
                                                       "*.wmv;*.asf;*.avi;*.mpg;*.mp2;*.mpeg;*.mp4;*.mov;*.dat"}));
    EXPECT_EQ(video[1],
              (platform::Desktop::FileFilter{"MPEG Files(.mpg,*.mpeg,*.mp2,*.mp4)", "*.mpg;*.mp2;*.mpeg;*.mp4"}));
    EXPECT_EQ(video[4], (platform::Desktop::FileFilter{"QuickTime Files-Ver2 or less(*.mov)", "*.mov"}));
}
