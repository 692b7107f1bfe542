#include "options/FormatsPanel.h"

#include "controls/QtTabOrder.h"
#include "lang/StringLookup.h"
#include "options/AacOptionsView.h"
#include "options/FlacOptionsView.h"
#include "options/FormatOptions.h"
#include "options/ListItemWords.h"
#include "options/Mp3OptionsView.h"
#include "options/OggOptionsView.h"
#include "options/OpusOptionsView.h"
#include "options/QtOptionBinding.h"
#include "options/WmaNoticeView.h"
#include "options/WmaOptionsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace options {

namespace {

// The format captions are fixed texts, never localized.
const char* const kFormatCaptions[FormatOptions::kFormatCount] = {"WAV", "WMA", "MP3", "OGG", "FLAC", "Opus", "AAC"};

constexpr QSize kPanelSize(620, 390);
constexpr int kTightSpacing = 2;

static_assert(std::tuple_size_v<decltype(FormatsPanel::optFileFormat)> == FormatOptions::kFormatCount);

} // namespace

FormatsPanel::FormatsPanel(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent), m_options(options)
{
    setObjectName(QStringLiteral("frFormats"));
    setFixedSize(kPanelSize);
    hide();

    lblSelectFormat = new QLabel(this);
    lblSelectFormat->setObjectName(QStringLiteral("Label10"));

    // The label has a row of its own: with seven format options beside it,
    // its longer translations would not fit.
    auto* formats = new QHBoxLayout;
    formats->setContentsMargins(24, 0, 0, 0);
    for (int i = 0; i < FormatOptions::kFormatCount; ++i) {
        optFileFormat[i] = new QRadioButton(QString::fromLatin1(kFormatCaptions[i]), this);
        optFileFormat[i]->setObjectName(QStringLiteral("optFileFormat_%1").arg(i));
        formats->addWidget(optFileFormat[i]);
        bind(options.optFileFormat(i), optFileFormat[i]);
    }
    formats->addStretch();

    pages = new QStackedWidget(this);
    pages->setObjectName(QStringLiteral("frFormat"));
    auto* wavPage = new controls::FramePanel;
    wavPage->setObjectName(QStringLiteral("frFormat_0"));
    lblWavNote = new QLabel(wavPage);
    lblWavNote->setObjectName(QStringLiteral("Label22"));
    lblWavNote->setWordWrap(true);
    auto* wavLayout = new QVBoxLayout(wavPage);
    wavLayout->addWidget(lblWavNote);
    wavLayout->addStretch();
    wmaPage = new WmaOptionsView(options);
    mp3Page = new Mp3OptionsView(options);
    oggPage = new OggOptionsView(options);
    flacPage = new FlacOptionsView(options);
    opusPage = new OpusOptionsView(options);
    aacPage = new AacOptionsView(options);
    pages->addWidget(wavPage);
    pages->addWidget(wmaPage);
    pages->addWidget(mp3Page);
    pages->addWidget(oggPage);
    pages->addWidget(flacPage);
    pages->addWidget(opusPage);
    pages->addWidget(aacPage);
    pages->setCurrentIndex(options.frontPage());
    connect(&options, &FormatOptions::frontPageChanged, pages, &QStackedWidget::setCurrentIndex);

    cmdDefaults = new QPushButton(this);
    cmdDefaults->setObjectName(QStringLiteral("cmdDefaults"));
    cmdHide = new QPushButton(this);
    cmdHide->setObjectName(QStringLiteral("cmdHide"));
    bind(options.cmdDefaults, cmdDefaults);
    bind(options.cmdHide, cmdHide);
    connect(&options.cmdHide, &ButtonState::Click, this, &FormatsPanel::cmdHide_Click);
    connect(&options.cmdChangeFormat, &ButtonState::Click, this, &FormatsPanel::cmdChangeFormat_Click);

    // Tags apply to every format, so the check box sits below the pages.
    chkCopyTags = new QCheckBox(this);
    chkCopyTags->setObjectName(QStringLiteral("chkCopyTags"));
    bind(options.chkCopyTags, chkCopyTags);

    // So does passing over the files whose outputs are already there.
    chkSkipConverted = new QCheckBox(this);
    chkSkipConverted->setObjectName(QStringLiteral("chkSkipConverted"));
    bind(options.chkSkipConverted, chkSkipConverted);

    // So does naming outputs from their tags, on the row above.
    chkNamePattern = new QCheckBox(this);
    chkNamePattern->setObjectName(QStringLiteral("chkNamePattern"));
    bind(options.chkNamePattern, chkNamePattern);
    txtNamePattern = new QLineEdit(this);
    txtNamePattern->setObjectName(QStringLiteral("txtNamePattern"));
    bind(options.txtNamePattern, txtNamePattern);
    // Under the pattern, the name it would give.
    lblNameExample = new QLabel(this);
    lblNameExample->setObjectName(QStringLiteral("lblNameExample"));
    lblNameExample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Greyed while names do not come from tags, as the pattern is.
    lblNameExample->setEnabled(options.chkNamePattern.Value());
    connect(&options.chkNamePattern, &CheckBoxState::valueChanged, lblNameExample, &QWidget::setEnabled);
    auto* naming = new QGridLayout;
    naming->addWidget(chkNamePattern, 0, 0);
    naming->addWidget(txtNamePattern, 0, 1);
    naming->addWidget(lblNameExample, 1, 1);
    naming->setColumnStretch(1, 1);
    naming->setVerticalSpacing(2);
    connect(&options.txtNamePattern, &TextState::textChanged, this, &FormatsPanel::showNameExample);
    connect(&options, &FormatOptions::frontPageChanged, this, &FormatsPanel::showNameExample);
    connect(&options, &FormatOptions::frontPageChanged, this, &FormatsPanel::orderTabStops);

    // So is how many rows convert at once.
    lblSimultaneous = new QLabel(this);
    lblSimultaneous->setObjectName(QStringLiteral("lblSimultaneous"));
    spnSimultaneous = new QSpinBox(this);
    spnSimultaneous->setObjectName(QStringLiteral("spnSimultaneous"));
    bind(options.sliderSimultaneous, spnSimultaneous);
    lblSimultaneous->setBuddy(spnSimultaneous);
    // The most it takes: one conversion for each processor.
    lblSimultaneousMax = new QLabel(this);
    lblSimultaneousMax->setObjectName(QStringLiteral("lblSimultaneousMax"));
    auto* simultaneous = new QHBoxLayout;
    simultaneous->addWidget(lblSimultaneous);
    simultaneous->addWidget(spnSimultaneous);
    simultaneous->addWidget(lblSimultaneousMax);
    simultaneous->addStretch();
    auto* everyFormatChecks = new QHBoxLayout;
    everyFormatChecks->addWidget(chkCopyTags);
    everyFormatChecks->addWidget(chkSkipConverted);
    everyFormatChecks->addStretch();

    // So is loudness: tags and normalising, a group of its own on one row
    // (a framed group would take the height the format pages need).
    frLoudness = new QWidget(this);
    frLoudness->setObjectName(QStringLiteral("frLoudness"));
    lblLoudness = new QLabel(frLoudness);
    lblLoudness->setObjectName(QStringLiteral("lblLoudness"));
    chkReplayGain = new QCheckBox(frLoudness);
    chkReplayGain->setObjectName(QStringLiteral("chkReplayGain"));
    bind(options.chkReplayGain, chkReplayGain);
    chkNormalize = new QCheckBox(frLoudness);
    chkNormalize->setObjectName(QStringLiteral("chkNormalize"));
    bind(options.chkNormalize, chkNormalize);
    spnNormalizeTarget = new QSpinBox(frLoudness);
    spnNormalizeTarget->setObjectName(QStringLiteral("spnNormalizeTarget"));
    spnNormalizeTarget->setSuffix(QStringLiteral(" LUFS"));
    bind(options.sliderNormalizeTarget, spnNormalizeTarget);
    // Two items in a list take less of the row than two option buttons.
    cmbNormalizeMode = new QComboBox(frLoudness);
    cmbNormalizeMode->setObjectName(QStringLiteral("cmbNormalizeMode"));
    cmbNormalizeMode->addItems({QString(), QString()});
    bind({&options.optNormalizeTrack, &options.optNormalizeAlbum}, cmbNormalizeMode);
    auto* loudness = new QHBoxLayout(frLoudness);
    loudness->setContentsMargins(0, 0, 0, 0);
    loudness->addWidget(lblLoudness);
    loudness->addWidget(chkReplayGain);
    loudness->addSpacing(4);
    loudness->addWidget(chkNormalize);
    loudness->addWidget(spnNormalizeTarget);
    loudness->addWidget(cmbNormalizeMode);
    loudness->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addLayout(simultaneous);
    buttons->addStretch();
    buttons->addWidget(cmdDefaults);
    buttons->addWidget(cmdHide);

    auto* layout = new QVBoxLayout(this);
    auto* choice = new QVBoxLayout;
    choice->setSpacing(kTightSpacing);
    choice->addWidget(lblSelectFormat);
    choice->addLayout(formats);
    layout->addLayout(choice);
    layout->addWidget(pages, 1);
    // The rows for every format stand close, leaving the pages their room.
    auto* everyFormat = new QVBoxLayout;
    everyFormat->setSpacing(kTightSpacing);
    everyFormat->addLayout(naming);
    everyFormat->addWidget(frLoudness);
    everyFormat->addLayout(everyFormatChecks);
    layout->addLayout(everyFormat);
    layout->addLayout(buttons);

    applyCaptions();
}

void FormatsPanel::showEvent(QShowEvent* event)
{
    controls::FramePanel::showEvent(event);
    orderTabStops();
}

void FormatsPanel::orderTabStops()
{
    // Only the page in front has its controls placed; each page's turn
    // comes when it is brought to the front.
    layout()->activate();
    if (QWidget* page = pages->currentWidget(); page && page->layout())
        page->layout()->activate();
    controls::setReadingTabOrder(this);
}

void FormatsPanel::cmdChangeFormat_Click()
{
    Q_EMIT openRequested();
}

void FormatsPanel::cmdHide_Click()
{
    if (m_closeCheck && !m_closeCheck())
        return;
    Q_EMIT closeRequested();
    m_options.UpdateFormatSummary();
}

void FormatsPanel::applyCaptions()
{
    setText(lang::caption(lang::StringId::FormatsTitle));
    lblSelectFormat->setText(lang::caption(lang::StringId::SelectOutputFormat));
    lblWavNote->setText(withoutLoneLastWord(lang::caption(lang::StringId::WavSameAsInput)));
    chkCopyTags->setText(lang::caption(lang::StringId::CopyTags));
    chkSkipConverted->setText(lang::caption(lang::StringId::SkipConverted));
    chkSkipConverted->setToolTip(lang::caption(lang::StringId::SkipConvertedTip));
    chkNamePattern->setText(lang::caption(lang::StringId::NameFromTags));
    // The boxes beside a check box are named by it.
    txtNamePattern->setAccessibleName(chkNamePattern->text());
    // As rich text, so the long tooltip wraps.
    txtNamePattern->setToolTip(QStringLiteral("<qt>") + lang::caption(lang::StringId::NamePatternTip).toHtmlEscaped() +
                               QStringLiteral("</qt>"));
    lblSimultaneous->setText(lang::caption(lang::StringId::SimultaneousConversions));
    lblLoudness->setText(lang::caption(lang::StringId::LoudnessGroup));
    frLoudness->setToolTip(lang::caption(lang::StringId::LoudnessGroupTip));
    chkReplayGain->setText(lang::caption(lang::StringId::WriteReplayGain));
    chkNormalize->setText(lang::caption(lang::StringId::NormalizeTo));
    const QString normalizeTip =
        QStringLiteral("<qt>") + lang::caption(lang::StringId::NormalizeTip).toHtmlEscaped() + QStringLiteral("</qt>");
    chkNormalize->setToolTip(normalizeTip);
    spnNormalizeTarget->setToolTip(normalizeTip);
    spnNormalizeTarget->setAccessibleName(chkNormalize->text());
    cmbNormalizeMode->setAccessibleName(lblLoudness->text());
    cmbNormalizeMode->setItemText(0, lang::caption(lang::StringId::NormalizeByTrack));
    cmbNormalizeMode->setItemText(1, lang::caption(lang::StringId::NormalizeByAlbum));
    lblSimultaneousMax->setText(
        lang::caption(lang::StringId::SimultaneousMaximum).arg(m_options.sliderSimultaneous.Max()));
    cmdDefaults->setText(lang::caption(lang::StringId::RestoreDefaults));
    cmdHide->setText(lang::caption(lang::StringId::SaveAndClose));
    wmaPage->applyCaptions();
    mp3Page->applyCaptions();
    oggPage->applyCaptions();
    flacPage->applyCaptions();
    opusPage->applyCaptions();
    aacPage->applyCaptions();
    showNameExample();
}

void FormatsPanel::setNameExample(NameExample example)
{
    m_nameExample = std::move(example);
    showNameExample();
}

void FormatsPanel::showNameExample()
{
    const QString line = m_nameExample ? m_nameExample(m_options.txtNamePattern.Text()) : QString();
    // A long name keeps its start and its end in view; the whole is the
    // tooltip. The panel has its design size from the start: laid out, the
    // line has its width even while the panel is parked.
    if (layout())
        layout()->activate();
    const int width = lblNameExample->width();
    lblNameExample->setText(lblNameExample->fontMetrics().elidedText(line, Qt::ElideMiddle, width));
    lblNameExample->setToolTip(line);
}

QWidget* FormatsPanel::frFormat(int Index) const
{
    if (Index == FormatOptions::kWmaNoticePage)
        return wmaPage->frWmaNotice;
    return pages->widget(Index);
}

} // namespace options
