#include "TransferRecorder.h"
#include "remedy/PackageKitInstall.h"
#include "remedy/WmaComponentSources.h"
#include "remedy/WmaRemedies.h"
#include "settings/CRegister.h"
#include "support/Fixtures.h"
#include "support/LocalHttpServer.h"
#include "support/PrivateSessionBus.h"
#include "support/ScriptedDesktop.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using remedy::WmaComponentSources;
using remedy::WmaRemedies;
using settings::CRegister;
using testsupport::ScriptedDesktop;

//! PackageKit's session service as far as the remedies use it: records each
//! call and answers with success, or with the error it was given.
class FakePackageKit : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PackageKit.Modify")
public:
    struct Call {
        QString interface;
        QString member;
        quint32 xid;
        QStringList packages;
    };
    QList<Call> calls;
    QString errorName;

public Q_SLOTS:
    void InstallPackageNames(uint xid, const QStringList& packages, const QString& interaction)
    {
        Q_UNUSED(interaction);
        calls.append({message().interface(), message().member(), xid, packages});
        if (!errorName.isEmpty())
            sendErrorReply(errorName, QStringLiteral("the user declined"));
    }
};

class WmaRemediesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        ASSERT_TRUE(bus.isRunning()) << "dbus-daemon is needed (package dbus-daemon)";
        sources.package = QStringLiteral("libavcodec-extra");
        sources.installerUrl = server.url(QStringLiteral("/download/codec.deb"));
        sources.playerPageUrl = QUrl(QStringLiteral("https://packages.example/codec"));
        server.serve(QStringLiteral("/download/codec.deb"), {200, installer, -1});
        client = bus.connect(QStringLiteral("client"));
        ASSERT_TRUE(client.isConnected());
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    }
    void offerPackageKit()
    {
        QDBusConnection service = bus.connect(QStringLiteral("service"));
        ASSERT_TRUE(service.registerObject(QLatin1String(remedy::PackageKitInstall::kPath), &packageKit,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QLatin1String(remedy::PackageKitInstall::kService)));
    }
    WmaRemedies remedies()
    {
        WmaRemedies made(desktop, recorder.presenter(), sources);
        made.setInstallerBus(client);
        made.setDownloadFolder(downloads.path());
        made.setConnectivityCheck([this] { return connected; });
        return made;
    }
    QString downloaded() const { return downloads.filePath(QStringLiteral("codec.deb")); }

    testsupport::LocalHttpServer server;
    testsupport::PrivateSessionBus bus;
    QDBusConnection client{QString()};
    FakePackageKit packageKit;
    ScriptedDesktop desktop;
    testsupport::TransferRecorder recorder;
    WmaComponentSources sources;
    QTemporaryDir downloads;
    bool connected = true;
    const QByteArray installer = "!<arch>\ndebian-binary   " + QByteArray(3 * 1024 * 1024, 'd');
};

// Whatever the installer answers, it answered: nothing is downloaded, opened
// or said afterwards.
TEST_F(WmaRemediesTest, InstallsTheCodecPackageThroughPackageKitWithTheDownloadDialog)
{
    offerPackageKit();
    for (const char* error : {"", "org.freedesktop.PackageKit.Modify.Cancelled"}) {
        packageKit.errorName = QLatin1String(error);
        remedies().cmdDownloadWMF();
    }
    ASSERT_EQ(packageKit.calls.size(), 2);
    for (const FakePackageKit::Call& call : packageKit.calls) {
        EXPECT_EQ(call.interface, QStringLiteral("org.freedesktop.PackageKit.Modify"));
        EXPECT_EQ(call.member, QStringLiteral("InstallPackageNames"));
        EXPECT_EQ(call.packages, QStringList{QStringLiteral("libavcodec-extra")});
        EXPECT_EQ(call.xid, 0u);
    }
    ASSERT_EQ(recorder.shown.size(), 2);
    EXPECT_EQ(recorder.shown[0].title, QStringLiteral("Downloading Windows Media Format 9.0..."));
    EXPECT_EQ(recorder.shown[0].label, QStringLiteral("Downloading Windows Media Format 9.0..."));
    EXPECT_EQ(recorder.shown[0].description,
              QStringLiteral("Downloading Windows Media Format 9.0..., Please wait...."));
    EXPECT_TRUE(recorder.shown[0].smallWizardImage.endsWith(QStringLiteral("/icon.bmp")));
    EXPECT_TRUE(server.requests.isEmpty());
    EXPECT_TRUE(desktop.shellOpened.isEmpty());
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(WmaRemediesTest, WithoutPackageKitTheInstallerIsDownloadedAndHandedToTheDesktop)
{
    remedies().cmdDownloadWMF();
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(server.requests[0].startsWith("GET /download/codec.deb "));
    ASSERT_EQ(recorder.shown.size(), 1);
    EXPECT_EQ(recorder.shown[0].title, QStringLiteral("Downloading Windows Media Format 9.0..."));

    EXPECT_EQ(testsupport::readFile(downloaded()), installer);
    // Progress rises piece by piece to the whole size; never resumed.
    ASSERT_FALSE(recorder.progress.isEmpty());
    for (qsizetype i = 1; i < recorder.progress.size(); ++i)
        EXPECT_GT(recorder.progress[i].first, recorder.progress[i - 1].first);
    EXPECT_EQ(recorder.progress.back(), std::make_pair(qint64(installer.size()), qint64(installer.size())));
    EXPECT_FALSE(server.requests[0].toLower().contains("range:"));
    // Saved as data: the desktop decides what opens it.
    EXPECT_FALSE(QFile::permissions(downloaded()) & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    EXPECT_EQ(desktop.shellOpened, QStringList{downloaded()});
}

TEST_F(WmaRemediesTest, OfflineTheMessageIsShownAndNothingIsOpened)
{
    connected = false;
    sources.installerUrl = QUrl(QStringLiteral("https://www.example.invalid/download/codec.deb"));
    for (const bool earlier : {false, true}) {
        SCOPED_TRACE(earlier ? "with a file of that name" : "without");
        desktop.boxes.clear();
        if (earlier) {
            QFile old(downloaded());
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        }
        remedies().cmdDownloadWMF();
        ASSERT_EQ(desktop.boxes.size(), 1);
        EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("You are not connected to internet"));
        EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
        EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::Ok);
        EXPECT_TRUE(recorder.shown.isEmpty());
        // A file this download did not make is never handed over.
        EXPECT_TRUE(desktop.shellOpened.isEmpty());
    }
    EXPECT_TRUE(server.requests.isEmpty());
}

// Only a package of a kind an installer opens is kept and handed to the
// desktop: a desktop entry or a script would run as a program when opened.
TEST_F(WmaRemediesTest, OnlyAPackageOfTheExpectedKindIsKeptAndHandedOver)
{
    const struct {
        const char* path;
        QByteArray body;
    } cases[] = {
        {"/download/evil.desktop", "[Desktop Entry]\nType=Application\nExec=sh -c 'touch pwned'\n"},
        {"/download/setup.sh", "#!/bin/sh\ntouch pwned\n"},
        {"/download/codec.deb", "#!/bin/sh\ntouch pwned\n"}, // the name of a package, not its bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        sources.installerUrl = server.url(QLatin1String(c.path));
        server.serve(QLatin1String(c.path), {200, c.body, -1});
        recorder.failures.clear();
        remedies().cmdDownloadWMF();
        EXPECT_TRUE(desktop.shellOpened.isEmpty());
        EXPECT_TRUE(QDir(downloads.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        const QString name = QUrl(QLatin1String(c.path)).fileName();
        EXPECT_EQ(recorder.failures, QStringList{QStringLiteral("The download is not a package the installer can use "
                                                                "(%1), so it was not kept.")
                                                     .arg(name)});
    }
}

TEST_F(WmaRemediesTest, WithoutAnInstallerAddressTheMessageSaysWhatToInstall)
{
    sources.installerUrl = QUrl();
    remedies().cmdDownloadWMF();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(
        desktop.boxes[0].text,
        QStringLiteral("To convert to WMA, install the package libavcodec-extra with your system's package tool: ") +
            WmaComponentSources::installCommand(QStringLiteral("libavcodec-extra")));
    EXPECT_TRUE(server.requests.isEmpty());
    EXPECT_TRUE(recorder.shown.isEmpty());
    EXPECT_TRUE(desktop.shellOpened.isEmpty());

    const auto only = [](const char* tool) {
        return [tool](const QString& name) { return name == QLatin1String(tool); };
    };
    EXPECT_EQ(WmaComponentSources::installCommand(QStringLiteral("x"), only("dnf")),
              QStringLiteral("sudo dnf install x"));
    EXPECT_EQ(WmaComponentSources::installCommand(QStringLiteral("x"), only("pacman")),
              QStringLiteral("sudo pacman -S x"));
    EXPECT_EQ(WmaComponentSources::installCommand(QStringLiteral("x"), only("none")),
              QStringLiteral("sudo apt-get install x"));
}

TEST_F(WmaRemediesTest, TheWebPageIsOpenedByTheDesktop)
{
    remedies().cmdOpenWMSite();
    EXPECT_EQ(desktop.shellOpened, QStringList{QStringLiteral("https://packages.example/codec")});
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST(WmaComponentSources, StoredAddressesAndTheEnvironmentOverrideTheDefaults)
{
    QTemporaryDir hives;
    const CRegister store(hives.path());
    qunsetenv(WmaComponentSources::kInstallerVariable);
    EXPECT_TRUE(WmaComponentSources::load(store).installerUrl.isEmpty()); // no address that does not exist

    const QString mirror = QStringLiteral("https://mirror.example/codec.deb");
    ASSERT_TRUE(store.REGSaveSetting(settings::HKEY_LOCAL_MACHINE, WmaComponentSources::kKey,
                                     QStringLiteral("wmfinstallerurl"), mirror));
    EXPECT_EQ(WmaComponentSources::load(store).installerUrl, QUrl(mirror));
    qputenv(WmaComponentSources::kInstallerVariable, "http://127.0.0.1:8080/local.deb");
    EXPECT_EQ(WmaComponentSources::load(store).installerUrl, QUrl(QStringLiteral("http://127.0.0.1:8080/local.deb")));
    qunsetenv(WmaComponentSources::kInstallerVariable);
}

} // namespace

#include "WmaRemedies_test.moc"
