#include "filelist/ScanFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// The directory's own listing order, as readdir gives it, keeping only the
// names `keep` accepts.
QStringList readdirOrder(const QString& folder, const QStringList& keep)
{
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (keep.contains(name))
            names << name;
    }
    closedir(dir);
    return names;
}

} // namespace

TEST(ScanFolder, ListsTheFilesDirectlyInsideInListingOrderWithHiddenOnes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    const QStringList files = {"b.mp3", ".hidden.wav", "a.ogg", "no extension", "c*d.flac", "zz.txt"};
    for (const QString& name : files)
        touch(folder.filePath(name));
    ASSERT_TRUE(folder.mkdir(QStringLiteral("sub.mp3")));
    touch(folder.filePath(QStringLiteral("sub.mp3/inner.mp3")));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("sub.mp3")), folder.filePath(QStringLiteral("link.mp3"))));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("a.ogg")), folder.filePath(QStringLiteral("alias.ogg"))));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600), 0);

    QStringList expected = files;
    expected << QStringLiteral("alias.ogg");
    expected = readdirOrder(dir.path(), expected);
    ASSERT_EQ(expected.size(), files.size() + 1);

    EXPECT_EQ(ScanFolderNames(dir.path()), expected);
    EXPECT_EQ(ScanFolderNames(dir.path() + u'/'), expected);
    EXPECT_EQ(ScanFolder(dir.path()), u'*' + expected.join(u'*'));
}

TEST(ScanFolder, EmptyForAFolderWithoutFilesOrOneThatCannotBeListed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(ScanFolder(dir.path()), QString());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("only-a-folder")));
    EXPECT_EQ(ScanFolder(dir.path()), QString());
    EXPECT_TRUE(ScanFolderNames(dir.path() + QStringLiteral("/missing")).isEmpty());
    EXPECT_TRUE(ScanFolderNames(QString()).isEmpty());

    // A folder without read rights (root reads it all the same).
    const QString locked = dir.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    touch(locked + QStringLiteral("/a.mp3"));
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    if (geteuid() != 0) {
        EXPECT_TRUE(ScanFolderNames(locked).isEmpty());
    }
    chmod(QFile::encodeName(locked).constData(), 0700);
}
