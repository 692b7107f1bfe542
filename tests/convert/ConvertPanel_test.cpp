#include "BatchTestFolder.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "filelist/FileList.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <memory>

namespace {

TEST(ConvertPanelTest, ButtonsShowAndDriveTheBatch)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    engine::LoadFormatModules();
    const QString input = dir.filePath(QStringLiteral("in.flac"));
    ASSERT_TRUE(testsupport::makeTone(input, 0.5, 8000, 1));

    testsupport::ScriptedDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    options.optFileFormat(options::FormatOptions::WAV).setValue(true);
    options.optSameFolder.setValue(true);
    auto list = std::make_unique<filelist::FileList>();
    filelist::FileListRow row;
    row.path = input;
    ASSERT_TRUE(list->append(row));
    convert::ConversionBatch batch(desktop, state, options, [&] { return list.get(); });
    convert::ConvertPanel panel(batch);

    EXPECT_EQ(panel.cmdConvert->text(), QStringLiteral("Convert All"));
    EXPECT_EQ(panel.cmdConvertSelected->text(), QStringLiteral("Convert Selected"));
    EXPECT_EQ(panel.chkShutdown->text(), QStringLiteral("Shutdown after conversion complete"));
    EXPECT_FALSE(panel.chkShutdown->isChecked());

    panel.resize(700, panel.sizeHint().height());
    panel.show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QRect idle[] = {panel.cmdConvert->geometry(), panel.cmdConvertSelected->geometry()};
    QString shown;
    bool otherEnabled = true;
    QRect running[2];
    desktop.onProcessEvents = [&] {
        shown = panel.cmdConvert->text();
        otherEnabled = panel.cmdConvertSelected->isEnabled();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        running[0] = panel.cmdConvert->geometry();
        running[1] = panel.cmdConvertSelected->geometry();
    };
    panel.cmdConvert->click();

    EXPECT_EQ(shown, QStringLiteral("Stop"));
    // "Stop" stands where "Convert All" stood, as wide, and so does its neighbour.
    EXPECT_EQ(running[0], idle[0]);
    EXPECT_EQ(running[1], idle[1]);
    EXPECT_FALSE(otherEnabled);
    EXPECT_EQ(panel.cmdConvert->text(), QStringLiteral("Convert All"));
    EXPECT_TRUE(panel.cmdConvertSelected->isEnabled());
    EXPECT_EQ(list->at(0).state, filelist::RowState::Complete);
    // How it went, with the way to its folder.
    EXPECT_TRUE(panel.lblBatchProgress->text().startsWith(QStringLiteral("1 converted \u00B7 <a href=")))
        << qPrintable(panel.lblBatchProgress->text());
    QString opened;
    QObject::connect(&panel, &convert::ConvertPanel::openOutputFolderRequested,
                     [&opened](const QString& folder) { opened = folder; });
    Q_EMIT panel.lblBatchProgress->linkActivated(QStringLiteral("folder"));
    EXPECT_EQ(opened, QFileInfo(input).absolutePath());

    panel.chkShutdown->click();
    EXPECT_TRUE(batch.chkShutdown.Value());
}

// Outputs in several folders open the folder that holds them all; on
// different ground each is offered.
TEST(ConvertPanelTest, SeveralOutputFoldersOpenTheirCommonFolder)
{
    const struct {
        QStringList folders;
        const char* opened;
    } cases[] = {
        {{QStringLiteral("/m/a")}, "/m/a"},
        {{QStringLiteral("/m/a"), QStringLiteral("/m/b")}, "/m"},
        {{QStringLiteral("/m/a"), QStringLiteral("/media/b")}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert::ConvertPanel::folderToOpen(c.folders), QString::fromUtf8(c.opened)) << c.opened;
}

} // namespace
