#include "options/Mp3OptionsView.h"

#include "controls/NamedWidget.h"
#include "controls/SliderWidget.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/QtOptionBinding.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace options {

using controls::named;

namespace {

controls::SliderWidget* qualitySlider(QWidget* parent, const char* name)
{
    auto* slider = named<controls::SliderWidget>(parent, name);
    slider->setMinimumWidth(120); // gives way to long end texts
    return slider;
}

} // namespace

Mp3OptionsView::Mp3OptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_2"));

    lblChannelMode = named<QLabel>(this, "Label25");
    cmbMP3StereoMode = named<QComboBox>(this, "cmbMP3StereoMode");
    lblSamplingRate = named<QLabel>(this, "Label26");
    cmbMP3Freq = named<QComboBox>(this, "cmbMP3Freq");
    lblEncoderQuality = named<QLabel>(this, "Label28");
    lblQualityLow = named<QLabel>(this, "Label30");
    SliderMP3EncoderQuality = qualitySlider(this, "SliderMP3EncoderQuality");
    lblQualityHigh = named<QLabel>(this, "Label29");
    lblMP3EncodSlider = named<QLabel>(this, "lblMP3EncodSlider");
    lblEncodingMode = named<QLabel>(this, "Label31");
    optMP3CBR = named<QRadioButton>(this, "optMP3CBR");
    optMP3VBR = named<QRadioButton>(this, "optMP3VBR");
    optMP3ABR = named<QRadioButton>(this, "optMP3ABR");
    cmbMP3CBitrate = named<QComboBox>(this, "cmbMP3CBitrate");
    lblVbrLessQuality = named<QLabel>(this, "Label23");
    SliderMP3VBR = qualitySlider(this, "SliderMP3VBR");
    lblVbrHighQuality = named<QLabel>(this, "Label24");
    lblMP3VBREncodSlider = named<QLabel>(this, "lblMP3VBREncodSlider");
    cmbMP3ABitrate = named<QComboBox>(this, "cmbMP3ABitrate");

    auto* lists = new QHBoxLayout;
    lists->addWidget(lblChannelMode);
    lists->addWidget(cmbMP3StereoMode);
    lists->addSpacing(16);
    lists->addWidget(lblSamplingRate);
    lists->addWidget(cmbMP3Freq);
    lists->addStretch();

    auto* quality = new QHBoxLayout;
    quality->addWidget(lblEncoderQuality);
    quality->addWidget(lblQualityLow);
    quality->addWidget(SliderMP3EncoderQuality, 1);
    quality->addWidget(lblQualityHigh);
    quality->addWidget(lblMP3EncodSlider);

    auto* vbr = new QHBoxLayout;
    vbr->addWidget(lblVbrLessQuality);
    vbr->addWidget(SliderMP3VBR, 1);
    vbr->addWidget(lblVbrHighQuality);
    vbr->addWidget(lblMP3VBREncodSlider);

    // The variable-bitrate slider with its two end texts needs the page's
    // whole width: it gets a row of its own under its option. The text that
    // names its value is its tooltip: a row for it would take the height the
    // page does not have.
    vbr->setContentsMargins(24, 0, 0, 0);
    auto* modes = new QGridLayout;
    modes->addWidget(optMP3CBR, 0, 0);
    modes->addWidget(cmbMP3CBitrate, 0, 1, Qt::AlignLeft);
    modes->addWidget(optMP3VBR, 1, 0);
    modes->addLayout(vbr, 2, 0, 1, 2);
    modes->addWidget(optMP3ABR, 3, 0);
    modes->addWidget(cmbMP3ABitrate, 3, 1, Qt::AlignLeft);
    modes->setColumnStretch(1, 1);
    modes->setVerticalSpacing(2); // the page holds seven rows in the panel's fixed height

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists);
    page->addLayout(quality);
    page->addWidget(lblEncodingMode);
    page->addLayout(modes);
    page->addStretch();

    // A screen reader names each list and slider by the text beside it.
    lblChannelMode->setBuddy(cmbMP3StereoMode);
    lblSamplingRate->setBuddy(cmbMP3Freq);
    lblEncoderQuality->setBuddy(SliderMP3EncoderQuality);

    bind(options.cmbMP3StereoMode, cmbMP3StereoMode);
    bind(options.cmbMP3Freq, cmbMP3Freq);
    bind(options.SliderMP3EncoderQuality, SliderMP3EncoderQuality);
    bind(options.lblMP3EncodSlider, lblMP3EncodSlider);
    bind(options.optMP3CBR, optMP3CBR);
    bind(options.optMP3VBR, optMP3VBR);
    bind(options.optMP3ABR, optMP3ABR);
    bind(options.cmbMP3CBitrate, cmbMP3CBitrate);
    bind(options.SliderMP3VBR, SliderMP3VBR);
    bind(options.lblMP3VBREncodSlider, lblMP3VBREncodSlider);
    bind(options.cmbMP3ABitrate, cmbMP3ABitrate);

    m_options = &options;
    applyCaptions();
}

void Mp3OptionsView::applyCaptions()
{
    SliderMP3VBR->setToolTip(lang::caption(lang::StringId::VbrValue));
    SliderMP3VBR->setAccessibleName(SliderMP3VBR->toolTip());
    lblVbrLessQuality->setText(lang::caption(lang::StringId::LessQuality));
    lblVbrHighQuality->setText(lang::caption(lang::StringId::HighQuality));
    lblChannelMode->setText(lang::caption(lang::StringId::ChannelMode));
    lblSamplingRate->setText(lang::caption(lang::StringId::SamplingRate));
    lblEncoderQuality->setText(lang::caption(lang::StringId::EncoderQuality));
    lblQualityHigh->setText(lang::caption(lang::StringId::HighSlower));
    lblQualityLow->setText(lang::caption(lang::StringId::LowFaster));
    lblEncodingMode->setText(lang::caption(lang::StringId::EncodingMode));
    // The design keeps the modes' captions and the lists' items in English;
    // they are shown in the language chosen, with the design's texts as the
    // English ones.
    optMP3CBR->setText(lang::caption(lang::StringId::Mp3ConstantBitrate));
    optMP3VBR->setText(lang::caption(lang::StringId::Mp3VariableBitrate));
    optMP3ABR->setText(lang::caption(lang::StringId::Mp3AverageBitrate));
    cmbMP3CBitrate->setAccessibleName(optMP3CBR->text());
    cmbMP3ABitrate->setAccessibleName(optMP3ABR->text());
    if (m_options) {
        rewordList(cmbMP3StereoMode, m_options->cmbMP3StereoMode);
        rewordList(cmbMP3Freq, m_options->cmbMP3Freq);
        rewordList(cmbMP3CBitrate, m_options->cmbMP3CBitrate);
        rewordList(cmbMP3ABitrate, m_options->cmbMP3ABitrate);
    }
}

} // namespace options
