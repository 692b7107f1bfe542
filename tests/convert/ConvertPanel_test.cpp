#include "BatchTestFolder.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "filelist/FileList.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"

#include <QCheckBox>
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

    QString shown;
    bool otherEnabled = true;
    desktop.onProcessEvents = [&] {
        shown = panel.cmdConvert->text();
        otherEnabled = panel.cmdConvertSelected->isEnabled();
    };
    panel.cmdConvert->click();

    EXPECT_EQ(shown, QStringLiteral("Stop"));
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

} // namespace
