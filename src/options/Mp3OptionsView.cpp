#include "options/Mp3OptionsView.h"

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

namespace {

template <typename Widget> Widget* named(QWidget* parent, const char* name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

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

    Label25 = named<QLabel>(this, "Label25");
    cmbMP3StereoMode = named<QComboBox>(this, "cmbMP3StereoMode");
    Label26 = named<QLabel>(this, "Label26");
    cmbMP3Freq = named<QComboBox>(this, "cmbMP3Freq");
    Label28 = named<QLabel>(this, "Label28");
    Label30 = named<QLabel>(this, "Label30");
    SliderMP3EncoderQuality = qualitySlider(this, "SliderMP3EncoderQuality");
    Label29 = named<QLabel>(this, "Label29");
    lblMP3EncodSlider = named<QLabel>(this, "lblMP3EncodSlider");
    Label31 = named<QLabel>(this, "Label31");
    // The captions of the encoding modes are fixed texts, never localized.
    optMP3CBR = named<QRadioButton>(this, "optMP3CBR");
    optMP3CBR->setText(QStringLiteral("Constant Bitrate (CBR):"));
    optMP3VBR = named<QRadioButton>(this, "optMP3VBR");
    optMP3VBR->setText(QStringLiteral("Variable Bitrate (VBR):"));
    optMP3ABR = named<QRadioButton>(this, "optMP3ABR");
    optMP3ABR->setText(QStringLiteral("Average Bitrate (ABR):"));
    cmbMP3CBitrate = named<QComboBox>(this, "cmbMP3CBitrate");
    Label23 = named<QLabel>(this, "Label23");
    SliderMP3VBR = qualitySlider(this, "SliderMP3VBR");
    Label24 = named<QLabel>(this, "Label24");
    lblMP3VBREncodSlider = named<QLabel>(this, "lblMP3VBREncodSlider");
    cmbMP3ABitrate = named<QComboBox>(this, "cmbMP3ABitrate");

    auto* lists = new QHBoxLayout;
    lists->addWidget(Label25);
    lists->addWidget(cmbMP3StereoMode);
    lists->addSpacing(16);
    lists->addWidget(Label26);
    lists->addWidget(cmbMP3Freq);
    lists->addStretch();

    auto* quality = new QHBoxLayout;
    quality->addWidget(Label28);
    quality->addWidget(Label30);
    quality->addWidget(SliderMP3EncoderQuality, 1);
    quality->addWidget(Label29);
    quality->addWidget(lblMP3EncodSlider);

    auto* vbr = new QHBoxLayout;
    vbr->addWidget(Label23);
    vbr->addWidget(SliderMP3VBR, 1);
    vbr->addWidget(Label24);
    vbr->addWidget(lblMP3VBREncodSlider);

    // The variable-bitrate slider with its two end texts needs the page's
    // whole width: it gets a row of its own under its option.
    vbr->setContentsMargins(24, 0, 0, 0);
    auto* modes = new QGridLayout;
    modes->addWidget(optMP3CBR, 0, 0);
    modes->addWidget(cmbMP3CBitrate, 0, 1, Qt::AlignLeft);
    modes->addWidget(optMP3VBR, 1, 0);
    modes->addLayout(vbr, 2, 0, 1, 2);
    modes->addWidget(optMP3ABR, 3, 0);
    modes->addWidget(cmbMP3ABitrate, 3, 1, Qt::AlignLeft);
    modes->setColumnStretch(1, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(lists);
    page->addLayout(quality);
    page->addWidget(Label31);
    page->addLayout(modes);
    page->addStretch();

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

    applyCaptions();
}

void Mp3OptionsView::applyCaptions()
{
    Label23->setText(lang::caption(lang::StringId::LessQuality));
    Label24->setText(lang::caption(lang::StringId::HighQuality));
    Label25->setText(lang::caption(lang::StringId::ChannelMode));
    Label26->setText(lang::caption(lang::StringId::SamplingRate));
    Label28->setText(lang::caption(lang::StringId::EncoderQuality));
    Label29->setText(lang::caption(lang::StringId::HighSlower));
    Label30->setText(lang::caption(lang::StringId::LowFaster));
    Label31->setText(lang::caption(lang::StringId::EncodingMode));
}

} // namespace options
