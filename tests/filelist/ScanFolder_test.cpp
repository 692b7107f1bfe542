#include "filelist/NaturalOrder.h"
#include "filelist/ScanFolder.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    ASSERT_TRUE(testsupport::writeFile(path, "x"));
}

} // namespace

TEST(ScanFolder, ListsTheFilesDirectlyInsideInNaturalOrderWithHiddenOnes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    for (const char* name : {"b.mp3", ".hidden.wav", "a.ogg", "no extension", "c*d.flac", "zz.txt"})
        touch(folder.filePath(QLatin1String(name)));
    ASSERT_TRUE(folder.mkdir(QStringLiteral("sub.mp3")));
    touch(folder.filePath(QStringLiteral("sub.mp3/inner.mp3")));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("sub.mp3")), folder.filePath(QStringLiteral("link.mp3"))));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("a.ogg")), folder.filePath(QStringLiteral("alias.ogg"))));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600), 0);

    const QStringList expected = {QStringLiteral(".hidden.wav"), QStringLiteral("a.ogg"),
                                  QStringLiteral("alias.ogg"),   QStringLiteral("b.mp3"),
                                  QStringLiteral("c*d.flac"),    QStringLiteral("no extension"),
                                  QStringLiteral("zz.txt")};
    EXPECT_EQ(filelist::ScanFolderNames(dir.path()), expected);
    EXPECT_EQ(filelist::ScanFolderNames(dir.path() + u'/'), expected);
    EXPECT_EQ(filelist::ScanFolder(dir.path()), u'*' + expected.join(u'*'));
}

TEST(ScanFolder, NaturalOrderIgnoresCaseAndComparesNumbersByValue)
{
    const struct {
        const char* a;
        const char* b;
    } ordered[] = {
        {"2.mp3", "10.mp3"}, {"track 9", "Track 10"},  {"a", "B"},
        {"f1383", "f1451"},  {"disc1/02", "disc1/10"}, {"007", "8"},
        {"x", "x1"},         {"Abc", "abc"},           {"song 2 b", "song 02 c"},
        {"", "a"},           {"Émile", "Zoe"},
    };
    for (const auto& c : ordered) {
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_TRUE(filelist::naturalLess(a, b)) << c.a << " < " << c.b;
        EXPECT_FALSE(filelist::naturalLess(b, a)) << c.b << " !< " << c.a;
    }
}

TEST(ScanFolder, TheRecursiveWalkStaysInTheTreeAndSkipsHiddenAndLinkedFolders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* path : {"Artist/Album 10/1.mp3", "Artist/Album 2/10.mp3", "Artist/Album 2/9.mp3",
                             "Artist/cover.mp3", "top.wav", ".git/x.wav", "Artist/.thumbs/t.mp3", "locked/l.mp3"}) {
        const QString file = root.filePath(QLatin1String(path));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
        touch(file);
    }
    // A loop back to the top, and a link out of the tree.
    ASSERT_TRUE(QFile::link(dir.path(), root.filePath(QStringLiteral("Artist/loop"))));
    QTemporaryDir outside;
    touch(outside.filePath(QStringLiteral("outside.mp3")));
    ASSERT_TRUE(QFile::link(outside.path(), root.filePath(QStringLiteral("elsewhere"))));
    ASSERT_EQ(chmod(QFile::encodeName(root.filePath(QStringLiteral("locked"))).constData(), 0), 0);

    QStringList expected = {QStringLiteral("top.wav"), QStringLiteral("Artist/cover.mp3"),
                            QStringLiteral("Artist/Album 2/9.mp3"), QStringLiteral("Artist/Album 2/10.mp3"),
                            QStringLiteral("Artist/Album 10/1.mp3")};
    if (geteuid() == 0) // root reads a folder without read rights all the same
        expected << QStringLiteral("locked/l.mp3");
    EXPECT_EQ(filelist::ScanFolderNames(dir.path(), true), expected);
    EXPECT_EQ(filelist::ScanFolderNames(dir.path()), QStringList{QStringLiteral("top.wav")});
    chmod(QFile::encodeName(root.filePath(QStringLiteral("locked"))).constData(), 0700);
}

TEST(ScanFolder, EmptyForAFolderWithoutFilesOrOneThatCannotBeListed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(filelist::ScanFolder(dir.path()), QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("only-a-folder")));
    EXPECT_EQ(filelist::ScanFolder(dir.path()), QString());
    EXPECT_TRUE(filelist::ScanFolderNames(dir.path() + QStringLiteral("/missing")).isEmpty());
    EXPECT_TRUE(filelist::ScanFolderNames(QString()).isEmpty());

    // A folder without read rights (root reads it all the same).
    const QString locked = dir.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    touch(locked + QStringLiteral("/a.mp3"));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    if (geteuid() != 0) {
        EXPECT_TRUE(filelist::ScanFolderNames(locked).isEmpty());
    }
    chmod(QFile::encodeName(locked).constData(), 0700);
}
