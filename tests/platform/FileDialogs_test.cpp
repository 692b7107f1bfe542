// The file and folder dialogs of the window: each opens in the folder it was
// last used in (kept for the user), the desktop's own through its portal
// where the session offers one, Qt's otherwise, wide enough for its columns.

#include "platform/DialogFolders.h"
#include "platform/PortalFileChooser.h"
#include "platform/QtDesktop.h"
#include "support/Fixtures.h"
#include "support/PrivateSessionBus.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The user's settings file of this process: fixed at its first use.
class ConfigEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("HOME", home.path().toUtf8());
    }
    QTemporaryDir config;
    QTemporaryDir home;
};
auto* const kConfig = static_cast<ConfigEnvironment*>(::testing::AddGlobalTestEnvironment(new ConfigEnvironment));

// A folder with two sound files and a sub-folder.
class MusicFolder {
public:
    MusicFolder()
    {
        QDir(root.path()).mkpath(QStringLiteral("Albums/First"));
        for (const char* name : {"a.wav", "b.wav"})
            testsupport::writeFile(root.filePath(QString::fromLatin1(name)), "RIFF");
    }
    QString path() const { return QDir::cleanPath(root.path()); }
    QString file(const char* name) const { return root.filePath(QString::fromLatin1(name)); }
    QTemporaryDir root;
};

const QList<platform::Desktop::FileFilter> kFilters = {
    {QStringLiteral("All Supported Audio Formats"), QStringLiteral("*.wav;*.mp3")},
    {QStringLiteral("Everything"), QStringLiteral("*.*")},
};

//! Runs `inspect` on the modal dialog once it is up (the dialog runs its own loop).
void whenDialogShows(std::function<void(QFileDialog*)> inspect)
{
    QTimer::singleShot(0, [inspect] {
        QFileDialog* dialog = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] { return (dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) != nullptr; }, 5000);
        ASSERT_TRUE(shown);
        ASSERT_NE(dialog, nullptr);
        inspect(dialog);
    });
}

// Shapes of the portal's answer: a choice's id and value.
struct ChoicePair {
    QString id;
    QString value;
};

} // namespace

Q_DECLARE_METATYPE(ChoicePair)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const ChoicePair& pair)
{
    out.beginStructure();
    out << pair.id << pair.value;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, ChoicePair& pair)
{
    in.beginStructure();
    in >> pair.id >> pair.value;
    in.endStructure();
    return in;
}

//! The desktop's portal, as the test's private bus offers it: answers each
//! request with the files scripted, and records what it was asked.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
public:
    explicit FakePortal(const QDBusConnection& bus) : m_bus(bus) {}

    uint response = 0;
    QStringList uris;
    QString choice; //!< the check box's answer, "true" or "false"; none when empty
    QString title;
    QString parent;
    QVariantMap options;
    int requests = 0;

public Q_SLOTS:
    QDBusObjectPath OpenFile(const QString& parentWindow, const QString& dialogTitle, const QVariantMap& asked,
                             const QDBusMessage& message)
    {
        ++requests;
        parent = parentWindow;
        title = dialogTitle;
        options = asked;
        const QString path = platform::PortalFileChooser::requestPath(
            message.service(), asked.value(QStringLiteral("handle_token")).toString());
        // The answer comes later, as the user closes the dialog.
        QTimer::singleShot(10, this, [this, path] {
            QDBusMessage answer = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                             QStringLiteral("Response"));
            QVariantMap results;
            results.insert(QStringLiteral("uris"), uris);
            if (!choice.isEmpty())
                results.insert(QStringLiteral("choices"),
                               QVariant::fromValue(QList<ChoicePair>{{QStringLiteral("option"), choice}}));
            answer << response << results;
            m_bus.send(answer);
        });
        return QDBusObjectPath(path);
    }

private:
    QDBusConnection m_bus;
};

QString fileUri(const QString& path)
{
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

TEST(DialogFolders, EachDialogOpensWhereItWasLastUsedOrInTheHomeFolder)
{
    using platform::DialogFolders;
    MusicFolder music;
    EXPECT_EQ(DialogFolders::startFolder(QStringLiteral("AddAudioFiles")), QDir::homePath());
    DialogFolders::remember(QStringLiteral("AddAudioFiles"), music.path() + QStringLiteral("/"));
    DialogFolders::remember(QStringLiteral("OutputFolder"), music.path() + QStringLiteral("/Albums"));
    EXPECT_EQ(DialogFolders::startFolder(QStringLiteral("AddAudioFiles")), music.path());
    EXPECT_EQ(DialogFolders::startFolder(QStringLiteral("OutputFolder")), music.path() + QStringLiteral("/Albums"));
    EXPECT_EQ(DialogFolders::startFolder(QStringLiteral("AddVideoFiles")), QDir::homePath()) << "each its own";

    // A folder that is gone sends the dialog home.
    ASSERT_TRUE(QDir(music.path() + QStringLiteral("/Albums")).removeRecursively());
    EXPECT_EQ(DialogFolders::startFolder(QStringLiteral("OutputFolder")), QDir::homePath());
    EXPECT_TRUE(DialogFolders::lastFolder(QStringLiteral("OutputFolder")).isEmpty());
}

TEST(QtFileDialog, OpensWhereItWasLastUsedShowsItsColumnsWholeAndRemembers)
{
    MusicFolder music;
    platform::DialogFolders::remember(QStringLiteral("AddAudioFiles"), music.path());
    platform::QtDesktop desktop(QDBusConnection(QStringLiteral("none")), false);

    bool inspected = false;
    whenDialogShows([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select one or more audio files"));
        EXPECT_EQ(QDir::cleanPath(dialog->directory().path()), music.path());
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 5000));
        QCoreApplication::processEvents();
        // Every column holds its header and its cells whole, within the view.
        const QHeaderView* header = view->header();
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
            EXPECT_GE(header->sectionSize(column), static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column))
                << column;
        }
        EXPECT_LE(header->length(), view->viewport()->width());
        // Two files, as a user types them.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("\"a.wav\" \"b.wav\""));
        inspected = true;
        static_cast<QDialog*>(dialog)->accept();
    });
    const platform::OpenFileAnswer answer = desktop.ShowOpenFileDialog(
        kFilters, QStringLiteral("Select one or more audio files"), true, QStringLiteral("AddAudioFiles"));
    EXPECT_TRUE(inspected);
    EXPECT_EQ(answer.paths(),
              (QStringList{music.path() + QStringLiteral("/a.wav"), music.path() + QStringLiteral("/b.wav")}));
    EXPECT_EQ(platform::DialogFolders::startFolder(QStringLiteral("AddAudioFiles")), music.path());

    // A folder picker opens beside the folder it chose last, with that one selected.
    const QString first = music.path() + QStringLiteral("/Albums/First");
    platform::DialogFolders::remember(QStringLiteral("OutputFolder"), first);
    whenDialogShows([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select the output folder"));
        EXPECT_EQ(QDir::cleanPath(dialog->directory().path()), music.path() + QStringLiteral("/Albums"));
        EXPECT_FALSE(dialog->testOption(QFileDialog::ReadOnly)) << "the new style makes folders";
        dialog->selectFile(music.path());
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(desktop.BrowseForFolder(QStringLiteral("Select the output folder"), true, QStringLiteral("OutputFolder")),
              music.path());
    EXPECT_EQ(platform::DialogFolders::startFolder(QStringLiteral("OutputFolder")), music.path());

    // Cancelled, it keeps what it had.
    whenDialogShows([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(desktop.BrowseForFolder(QStringLiteral("t"), false, QStringLiteral("OutputFolder")).isEmpty());
    EXPECT_EQ(platform::DialogFolders::startFolder(QStringLiteral("OutputFolder")), music.path());
}

TEST(PortalFileDialog, TheDesktopsDialogIsAskedWhereTheSessionOffersIt)
{
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    qDBusRegisterMetaType<ChoicePair>();
    qDBusRegisterMetaType<QList<ChoicePair>>();
    QDBusConnection portalSide = bus.connect(QStringLiteral("portal"));
    FakePortal portal(portalSide);
    ASSERT_TRUE(portalSide.registerService(platform::PortalFileChooser::service()));
    ASSERT_TRUE(
        portalSide.registerObject(platform::PortalFileChooser::objectPath(), &portal, QDBusConnection::ExportAllSlots));
    MusicFolder music;
    platform::DialogFolders::remember(QStringLiteral("AddVideoFiles"), music.path());
    platform::QtDesktop desktop(bus.connect(QStringLiteral("program")), true);

    portal.uris = {fileUri(music.file("a.wav")), fileUri(music.file("b.wav"))};
    const platform::OpenFileAnswer answer = desktop.ShowOpenFileDialog(
        kFilters, QStringLiteral("Select one or more video files"), true, QStringLiteral("AddVideoFiles"));
    EXPECT_EQ(answer.paths(),
              (QStringList{music.path() + QStringLiteral("/a.wav"), music.path() + QStringLiteral("/b.wav")}));
    EXPECT_EQ(portal.title, QStringLiteral("Select one or more video files"));
    EXPECT_TRUE(portal.options.value(QStringLiteral("multiple")).toBool());
    EXPECT_FALSE(portal.options.value(QStringLiteral("directory")).toBool());
    EXPECT_EQ(portal.options.value(QStringLiteral("current_folder")).toByteArray(),
              QFile::encodeName(music.path()) + '\0');
    EXPECT_TRUE(portal.options.contains(QStringLiteral("filters")));

    // The folder picker with its check box: the portal's choice.
    const QString albums = music.path() + QStringLiteral("/Albums");
    portal.uris = {fileUri(albums)};
    portal.choice = QStringLiteral("true");
    bool subFolders = false;
    EXPECT_EQ(desktop.BrowseForFolderWithOption(QStringLiteral("Select folder to add"),
                                                QStringLiteral("Include sub-folders"), subFolders,
                                                QStringLiteral("AddFolder")),
              albums);
    EXPECT_TRUE(subFolders);
    EXPECT_TRUE(portal.options.value(QStringLiteral("directory")).toBool());
    EXPECT_TRUE(portal.options.contains(QStringLiteral("choices")));
    EXPECT_EQ(platform::DialogFolders::startFolder(QStringLiteral("AddFolder")), albums);

    // Cancelled on the desktop: nothing chosen, nothing kept.
    portal.response = 1;
    portal.uris.clear();
    EXPECT_TRUE(
        desktop.ShowOpenFileDialog(kFilters, QStringLiteral("t"), false, QStringLiteral("AddAudioFiles")).cancelled());
    EXPECT_EQ(portal.requests, 3);
}

TEST(PortalFileDialog, WithoutAPortalQtsDialogShows)
{
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    const QDBusConnection program = bus.connect(QStringLiteral("alone"));
    EXPECT_FALSE(platform::PortalFileChooser::offered(program));
    platform::QtDesktop desktop(program, true);
    bool shown = false;
    whenDialogShows([&](QFileDialog* dialog) {
        shown = true;
        dialog->reject();
    });
    EXPECT_TRUE(
        desktop.ShowOpenFileDialog(kFilters, QStringLiteral("t"), true, QStringLiteral("AddAudioFiles")).cancelled());
    EXPECT_TRUE(shown);
}

#include "FileDialogs_test.moc"
