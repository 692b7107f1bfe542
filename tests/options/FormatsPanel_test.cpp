#include "controls/SliderWidget.h"
#include "options/AacOptionsView.h"
#include "options/FlacOptionsView.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/Mp3OptionsView.h"
#include "options/OggOptionsView.h"
#include "options/OpusOptionsView.h"
#include "options/OutputFolderWidget.h"
#include "options/SliderRowWidget.h"
#include "options/WmaOptionsView.h"
#include "support/ScriptedDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

using options::FormatOptions;
using options::FormatsPanel;
using options::OutputFolderWidget;

namespace {

// A window with the main panel and the options panel beside it, as the main
// window holds them. The window's slide is not what these tests are about: a
// request to open shows the panel at once, a request to close hides it.
struct Window {
    FormatOptions options;
    QWidget window;
    QWidget* frMain = new QWidget(&window);
    OutputFolderWidget* folder = new OutputFolderWidget(options, frMain);
    FormatsPanel* panel = new FormatsPanel(options, &window);

    Window()
    {
        window.resize(740, 577);
        frMain->setGeometry(0, 0, 740, 577);
        folder->setGeometry(10, 300, 700, 90);
        panel->move(60, 577);
        QObject::connect(panel, &FormatsPanel::openRequested, panel, [this] {
            panel->move(60, 181);
            panel->show();
        });
        QObject::connect(panel, &FormatsPanel::closeRequested, panel, &QWidget::hide);
        window.show();
    }
};

} // namespace

TEST(FormatsPanel, TheSevenFormatsStandInOneRowWithWholeCaptions)
{
    Window w;
    w.options.cmdChangeFormat.click();
    QApplication::processEvents();
    const int top = w.panel->optFileFormat[0]->geometry().top();
    int left = 0;
    for (QRadioButton* button : w.panel->optFileFormat) {
        const QRect r = button->geometry();
        EXPECT_EQ(r.top(), top) << qPrintable(button->text());
        EXPECT_GE(r.left(), left) << qPrintable(button->text());
        EXPECT_GE(r.width(), button->sizeHint().width()) << qPrintable(button->text());
        EXPECT_LE(r.right(), w.panel->width()) << qPrintable(button->text());
        left = r.right();
    }
    EXPECT_EQ(w.panel->optFileFormat[6]->text(), QStringLiteral("AAC"));
}

TEST(FormatsPanel, LaterFormatPagesShowAndEditTheirOptions)
{
    Window w;
    w.options.cmdChangeFormat.click();
    QTest::mouseClick(w.panel->optFileFormat[FormatOptions::FLAC], Qt::LeftButton);
    EXPECT_EQ(w.panel->pages->currentWidget(), w.panel->flacPage);
    EXPECT_EQ(w.panel->flacPage->level->slider->Value(), 5);
    QTest::mouseClick(w.panel->optFileFormat[FormatOptions::OPUS], Qt::LeftButton);
    EXPECT_EQ(w.panel->pages->currentWidget(), w.panel->opusPage);
    QTest::mouseClick(w.panel->opusPage->optOpusVoIP, Qt::LeftButton);
    EXPECT_TRUE(w.options.optOpusVoIP.Value());
    EXPECT_FALSE(w.options.optOpusAudio.Value());
    w.options.sliderAACBitrate.setValue(256);
    EXPECT_EQ(w.panel->aacPage->bitrate->slider->Value(), 256);
    EXPECT_EQ(w.panel->aacPage->bitrate->value->text(), QStringLiteral("256 Kbps"));
    QTest::mouseClick(w.panel->cmdHide, Qt::LeftButton);
    EXPECT_EQ(w.folder->lblFormat->text().section(u'\n', 0, 0), QStringLiteral("Opus,Bitrate 128 Kbps,VoIP"));
}

TEST(FormatsPanel, WidgetsShowTheStateAndFollowItsChanges)
{
    Window w;
    auto* mp3 = w.panel->mp3Page;
    auto* ogg = w.panel->oggPage;
    EXPECT_TRUE(w.panel->optFileFormat[2]->isChecked());
    EXPECT_EQ(w.panel->pages->currentIndex(), 2);
    EXPECT_EQ(mp3->cmbMP3CBitrate->currentText(), QStringLiteral("128 Kbps"));
    EXPECT_EQ(mp3->cmbMP3CBitrate->count(), 10);
    EXPECT_FALSE(mp3->cmbMP3ABitrate->isEnabled());
    EXPECT_EQ(ogg->sliderOGG->Min(), -2);
    EXPECT_EQ(ogg->sliderOGG->Max(), 10);
    EXPECT_EQ(ogg->sliderOGG->Value(), 3);
    EXPECT_TRUE(ogg->sliderOGG->Snap());
    EXPECT_EQ(w.folder->lblFormat->text(), w.options.lblFormat.Caption());

    w.options.optFileFormat(FormatOptions::OGG).setValue(true);
    EXPECT_TRUE(w.panel->optFileFormat[3]->isChecked());
    EXPECT_FALSE(w.panel->optFileFormat[2]->isChecked());
    EXPECT_EQ(w.panel->pages->currentWidget(), ogg);

    w.options.optMP3ABR.setValue(true);
    EXPECT_TRUE(mp3->optMP3ABR->isChecked());
    EXPECT_FALSE(mp3->optMP3CBR->isChecked());
    EXPECT_TRUE(mp3->cmbMP3ABitrate->isEnabled());
    EXPECT_FALSE(mp3->cmbMP3CBitrate->isEnabled());

    // No mode chosen is a state the widgets can show.
    w.options.optMP3ABR.setValue(false);
    EXPECT_FALSE(mp3->optMP3ABR->isChecked() || mp3->optMP3CBR->isChecked() || mp3->optMP3VBR->isChecked());

    w.options.sliderOGG.setValue(-2);
    EXPECT_EQ(ogg->sliderOGG->Value(), -2);
    EXPECT_EQ(ogg->lblSliderOGG->text(), QStringLiteral("-2"));
    w.options.SliderMP3VBR.setEnabled(true);
    EXPECT_TRUE(mp3->SliderMP3VBR->Enabled());

    w.options.cmbMP3Freq.setListIndex(8);
    EXPECT_EQ(mp3->cmbMP3Freq->currentText(), QStringLiteral("44.1 KHz"));
    w.options.txtOutPath.setText(QStringLiteral("/srv/out"));
    EXPECT_EQ(w.folder->txtOutPath->text(), QStringLiteral("/srv/out"));
    w.options.chkWMAFileTags.setValue(true);
    EXPECT_TRUE(w.panel->wmaPage->chkWMAFileTags->isChecked());
    EXPECT_TRUE(w.panel->wmaPage->txtWMATags[6]->isEnabled());
    // The field names are placeholders, not text.
    EXPECT_EQ(w.panel->wmaPage->txtWMATags[6]->text(), QString());
    EXPECT_EQ(w.panel->wmaPage->txtWMATags[6]->placeholderText(), QStringLiteral("Genre"));
    EXPECT_TRUE(w.panel->chkCopyTags->isChecked());
    w.options.chkCopyTags.setValue(false);
    EXPECT_FALSE(w.panel->chkCopyTags->isChecked());
}

TEST(FormatsPanel, UserEditsReachTheStateAndRunItsHandlers)
{
    Window w;
    w.panel->cmdChangeFormat_Click();
    auto* mp3 = w.panel->mp3Page;

    QTest::mouseClick(w.panel->optFileFormat[1], Qt::LeftButton);
    EXPECT_EQ(w.options.selectedFormat(), FormatOptions::WMA);
    EXPECT_EQ(w.panel->pages->currentWidget(), w.panel->wmaPage);

    // A click on the option that is on leaves it on.
    QTest::mouseClick(w.panel->optFileFormat[1], Qt::LeftButton);
    EXPECT_TRUE(w.panel->optFileFormat[1]->isChecked());
    EXPECT_EQ(w.options.selectedFormat(), FormatOptions::WMA);

    QTest::mouseClick(w.panel->optFileFormat[2], Qt::LeftButton);
    QTest::mouseClick(mp3->optMP3VBR, Qt::LeftButton);
    EXPECT_TRUE(w.options.optMP3VBR.Value());
    EXPECT_FALSE(w.options.optMP3CBR.Value());
    EXPECT_TRUE(w.options.SliderMP3VBR.Enabled());
    EXPECT_FALSE(mp3->cmbMP3CBitrate->isEnabled());

    mp3->cmbMP3StereoMode->setCurrentIndex(0); // as a choice in the list does
    EXPECT_EQ(w.options.cmbMP3StereoMode.Text(), QStringLiteral("Mono"));

    mp3->SliderMP3EncoderQuality->setFocus();
    QTest::keyClick(mp3->SliderMP3EncoderQuality, Qt::Key_Right);
    EXPECT_EQ(w.options.SliderMP3EncoderQuality.Value(), 6);
    EXPECT_EQ(mp3->lblMP3EncodSlider->text(), QStringLiteral("6"));

    QTest::mouseClick(w.panel->optFileFormat[1], Qt::LeftButton);
    QCheckBox* tags = w.panel->wmaPage->chkWMAFileTags;
    QTest::mouseClick(tags, Qt::LeftButton, {}, QPoint(6, tags->height() / 2)); // on its box
    EXPECT_TRUE(w.options.chkWMAFileTags.Value());
    EXPECT_TRUE(w.options.txtWMATags(0).Enabled());
    w.panel->wmaPage->txtWMATags[0]->clear();
    QTest::keyClicks(w.panel->wmaPage->txtWMATags[0], QStringLiteral("Song"));
    EXPECT_EQ(w.options.txtWMATags(0).Text(), QStringLiteral("Song"));

    QCheckBox* copy = w.panel->chkCopyTags;
    QTest::mouseClick(copy, Qt::LeftButton, {}, QPoint(6, copy->height() / 2));
    EXPECT_FALSE(w.options.chkCopyTags.Value());
}

TEST(FormatsPanel, TheLoudnessRowEditsItsOptionsAndItsTargetWaitsForTheNormaliseBox)
{
    Window w;
    w.panel->cmdChangeFormat_Click();
    QCheckBox* normalize = w.panel->chkNormalize;
    EXPECT_TRUE(w.panel->chkReplayGain->isChecked());
    EXPECT_FALSE(w.panel->spnNormalizeTarget->isEnabled());
    EXPECT_FALSE(w.panel->cmbNormalizeMode->isEnabled());
    EXPECT_EQ(w.panel->spnNormalizeTarget->value(), -18);
    EXPECT_EQ(w.panel->cmbNormalizeMode->count(), 2);
    EXPECT_EQ(w.panel->cmbNormalizeMode->currentIndex(), 0);
    EXPECT_EQ(w.panel->cmbNormalizeMode->itemText(1), QStringLiteral("Each album"));

    QTest::mouseClick(normalize, Qt::LeftButton, {}, QPoint(6, normalize->height() / 2));
    EXPECT_TRUE(w.options.chkNormalize.Value());
    EXPECT_TRUE(w.panel->spnNormalizeTarget->isEnabled());
    EXPECT_TRUE(w.panel->cmbNormalizeMode->isEnabled());
    w.panel->spnNormalizeTarget->setValue(-23);
    EXPECT_EQ(w.options.sliderNormalizeTarget.Value(), -23);
    w.panel->cmbNormalizeMode->setCurrentIndex(1); // as a choice in the list does
    EXPECT_TRUE(w.options.optNormalizeAlbum.Value());
    EXPECT_FALSE(w.options.optNormalizeTrack.Value());
    // And the other way: the state's choice shows in the list.
    w.options.optNormalizeTrack.setValue(true);
    EXPECT_EQ(w.panel->cmbNormalizeMode->currentIndex(), 0);

    QCheckBox* replayGain = w.panel->chkReplayGain;
    QTest::mouseClick(replayGain, Qt::LeftButton, {}, QPoint(6, replayGain->height() / 2));
    EXPECT_FALSE(w.options.chkReplayGain.Value());
}

TEST(FormatsPanel, ChangeAndHideAskToOpenAndCloseAndTheSummaryIsRefreshedOnClose)
{
    Window w;
    QSignalSpy opens(w.panel, &FormatsPanel::openRequested);
    QSignalSpy closes(w.panel, &FormatsPanel::closeRequested);
    const QString before = w.folder->lblFormat->text();
    QTest::mouseClick(w.folder->cmdChangeFormat, Qt::LeftButton);
    EXPECT_EQ(opens.count(), 1);
    ASSERT_TRUE(w.panel->isVisible());

    QTest::mouseClick(w.panel->optFileFormat[0], Qt::LeftButton);
    EXPECT_EQ(w.folder->lblFormat->text(), before); // not while the panel is open

    // The summary follows the close request, as the panel starts going down.
    QObject::connect(w.panel, &FormatsPanel::closeRequested, w.panel,
                     [&] { EXPECT_EQ(w.folder->lblFormat->text(), before); });
    QTest::mouseClick(w.panel->cmdHide, Qt::LeftButton);
    EXPECT_EQ(closes.count(), 1);
    EXPECT_EQ(w.folder->lblFormat->text().section(u'\n', 0, 0), QStringLiteral("WAV, Bitrate will be as input"));
}

TEST(FormatsPanel, FolderControlsFollowTheFolderChoiceAndBrowse)
{
    Window w;
    testsupport::ScriptedDesktop desktop;
    desktop.folderAnswers = {QStringLiteral("/picked")};
    w.options.setDesktop(desktop);
    QTest::mouseClick(w.folder->cmdBrowse, Qt::LeftButton);
    EXPECT_EQ(w.folder->txtOutPath->text(), QStringLiteral("/picked"));

    QTest::mouseClick(w.folder->optSameFolder, Qt::LeftButton);
    EXPECT_TRUE(w.options.optSameFolder.Value());
    EXPECT_FALSE(w.folder->optOtherFolder->isChecked());
    EXPECT_FALSE(w.folder->txtOutPath->isEnabled());
    EXPECT_FALSE(w.folder->cmdBrowse->isEnabled());
    EXPECT_EQ(w.folder->txtOutPath->text(), QStringLiteral("/picked"));

    QTest::mouseClick(w.folder->optOtherFolder, Qt::LeftButton);
    EXPECT_TRUE(w.folder->txtOutPath->isEnabled());
    w.folder->txtOutPath->clear();
    QTest::keyClicks(w.folder->txtOutPath, QStringLiteral("/typed"));
    EXPECT_EQ(w.options.txtOutPath.Text(), QStringLiteral("/typed"));
}

TEST(FormatsPanel, WmaNoticeCoversTheWmaPageWhenShown)
{
    Window w;
    w.panel->cmdChangeFormat_Click();
    w.options.optFileFormat(FormatOptions::WMA).click();
    QWidget* notice = w.panel->frFormat(FormatOptions::kWmaNoticePage);
    // Every page, the notice too, is named after its number, and no two share a name.
    for (int i = 0; i <= FormatOptions::kWmaNoticePage; ++i)
        EXPECT_EQ(w.panel->findChildren<QWidget*>(QStringLiteral("frFormat_%1").arg(i)),
                  QList<QWidget*>{w.panel->frFormat(i)})
            << i;
    EXPECT_FALSE(notice->isVisible());
    w.options.setWmaNoticeVisible(true);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->geometry(), w.panel->wmaPage->contentsRect()); // inside the page's border
    QWidget* onTop = w.panel->wmaPage->childAt(notice->geometry().center());
    EXPECT_TRUE(onTop == notice || notice->isAncestorOf(onTop));
}
