#include "platform/FileName.h"
#include "platform/Path.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::Path;

TEST(Path, EveryPartOfAPathIsReadFromItsText)
{
    const struct {
        const char* path;
        const char* parent;
        const char* fileName;
        const char* stem;
        const char* extension;
    } cases[] = {
        {"/m/a/b.flac", "/m/a", "b.flac", "b", "flac"},
        {"/m/a.b.FLAC", "/m", "a.b.FLAC", "a.b", "FLAC"},
        {"/a.mp3", "/", "a.mp3", "a", "mp3"},
        {"a.mp3", ".", "a.mp3", "a", "mp3"},
        {"/m/noext", "/m", "noext", "noext", ""},
        {"/m/.hidden", "/m", ".hidden", ".hidden", ""}, // a leading dot starts no extension
        {"/m/.hidden.wav", "/m", ".hidden.wav", ".hidden", "wav"},
        {"/m/song.", "/m", "song.", "song", ""},
        {"/m.d/song", "/m.d", "song", "song", ""}, // a dot in a folder is no extension
        {"/m/album.cue#03", "/m", "album.cue#03", "album", "cue#03"},
        {"/m/folder/", "/m/folder", "", "", ""},
        {"", ".", "", "", ""},
    };
    for (const auto& c : cases) {
        const Path path(QString::fromUtf8(c.path));
        SCOPED_TRACE(c.path);
        EXPECT_EQ(path.parent().toString(), QString::fromUtf8(c.parent));
        EXPECT_EQ(path.fileName(), QString::fromUtf8(c.fileName));
        EXPECT_EQ(path.stem(), QString::fromUtf8(c.stem));
        EXPECT_EQ(path.extension(), QString::fromUtf8(c.extension));
    }
    // The root is its own folder: a walk up always ends.
    EXPECT_EQ(Path(QStringLiteral("/")).parent(), Path(QStringLiteral("/")));
}

TEST(Path, PathsJoinAndLieBelowOneAnother)
{
    const struct {
        const char* path;
        const char* base;
        std::optional<const char*> relative; // and the base joined with it gives the path back
    } cases[] = {
        {"/m/Artist/a.mp3", "/m", "Artist/a.mp3"},
        {"/m/Artist/a.mp3", "/m/", "Artist/a.mp3"},
        {"/a.mp3", "/", "a.mp3"},
        {"/mx/a.mp3", "/m", std::nullopt}, // a sibling whose name begins alike
        {"/m", "/m", std::nullopt},        // the base itself
        {"/m/a.mp3", "", std::nullopt},
        {"m/a.mp3", "/m", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Path path(QString::fromUtf8(c.path));
        const Path base(QString::fromUtf8(c.base));
        const std::optional<QString> relative = path.relativeTo(base);
        ASSERT_EQ(relative.has_value(), c.relative.has_value());
        if (!relative)
            continue;
        EXPECT_EQ(*relative, QString::fromUtf8(*c.relative));
        EXPECT_EQ(base / *relative, path);
    }
    EXPECT_EQ((Path() / QStringLiteral("a.mp3")).toString(), QStringLiteral("a.mp3"));
}

TEST(Path, TheCommonFolderHoldsEveryOne)
{
    const struct {
        QStringList folders;
        const char* common;
    } cases[] = {
        {{QStringLiteral("/m/a")}, "/m/a"},
        {{QStringLiteral("/m/a"), QStringLiteral("/m/b/c")}, "/m"},
        {{QStringLiteral("/m/a"), QStringLiteral("/m/a/b")}, "/m/a"},
        {{QStringLiteral("/m/ab"), QStringLiteral("/m/a")}, "/m"}, // a name that begins alike is no parent
        {{QStringLiteral("/m/a"), QStringLiteral("/n/a")}, "/"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        QList<Path> folders;
        for (const QString& folder : c.folders)
            folders.append(Path(folder));
        EXPECT_EQ(platform::commonFolder(folders).toString(), QString::fromUtf8(c.common)) << c.common;
    }
}

TEST(Path, NamesThatAreNotUtf8KeepTheirBytesInEveryPart)
{
    // "/m/\xE9t\xE9/caf\xE9.fl\xE0" in Latin-1: no part is valid UTF-8.
    const QByteArray bytes("/m/\xE9t\xE9/caf\xE9.fl\xE0");
    const Path path(platform::fromNativeName(bytes));
    EXPECT_EQ(platform::nativeName(path.parent().toString()), QByteArray("/m/\xE9t\xE9"));
    EXPECT_EQ(platform::nativeName(path.fileName()), QByteArray("caf\xE9.fl\xE0"));
    EXPECT_EQ(platform::nativeName(path.stem()), QByteArray("caf\xE9"));
    EXPECT_EQ(platform::nativeName(path.extension()), QByteArray("fl\xE0"));
    EXPECT_EQ(platform::nativeName((path.parent() / path.fileName()).toString()), bytes);
}

} // namespace

namespace {

// Which copy of the program keeps its settings where: the one in the install's
// program folder (reached through a link too) uses the install's state folder;
// a build tree, a portable copy and TONEMILL_HOME keep them in their own folder.
TEST(ProgramPlaces, OnlyTheInstalledCopyKeepsItsSettingsInTheStateFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("usr/lib/tonemill")));
    const QString installed = root.filePath(QStringLiteral("usr/lib/tonemill"));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("usr/lib")), root.filePath(QStringLiteral("lib"))));
    const QString state = QStringLiteral("/var/lib/tonemill");
    const struct {
        const char* name;
        QString executableFolder;
        QString home;
        QString settingsFolder;
        bool installed;
    } cases[] = {
        {"installed copy", installed, {}, state, true},
        {"installed copy through a link", root.filePath(QStringLiteral("lib/tonemill")), {}, state, true},
        {"build tree", QStringLiteral("/src/build/bin"), {}, QStringLiteral("/src/build/bin/settings"), false},
        {"TONEMILL_HOME", installed, QStringLiteral("/opt/copy/"), QStringLiteral("/opt/copy/settings"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::ProgramPlaces places = platform::programPlaces(c.executableFolder, c.home, installed, state);
        EXPECT_EQ(places.settingsFolder, c.settingsFolder);
        EXPECT_EQ(places.installed, c.installed);
    }
}

} // namespace
