#include "options/OggOptionsView.h"

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

OggOptionsView::OggOptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_3"));

    optOGGCBR = named<QRadioButton>(this, "optOGGCBR");
    optOGGVBR = named<QRadioButton>(this, "optOGGVBR");
    cmbOGGCBitrate = named<QComboBox>(this, "cmbOGGCBitrate");
    cmbOGGVBitrate = named<QComboBox>(this, "cmbOGGVBitrate");
    lblQuality = named<QLabel>(this, "Label33");
    lblQualityLow = named<QLabel>(this, "Label27");
    sliderOGG = named<controls::SliderWidget>(this, "sliderOGG");
    sliderOGG->setMinimumWidth(120); // gives way to long end texts
    lblQualityHigh = named<QLabel>(this, "Label32");
    lblSliderOGG = named<QLabel>(this, "lblSliderOGG");
    lblSliderOGG->setMinimumWidth(24);

    auto* modes = new QGridLayout;
    modes->addWidget(optOGGCBR, 0, 0);
    modes->addWidget(cmbOGGCBitrate, 0, 1, Qt::AlignLeft);
    modes->addWidget(optOGGVBR, 1, 0);
    modes->addWidget(cmbOGGVBitrate, 1, 1, Qt::AlignLeft);
    modes->setColumnStretch(1, 1);

    auto* quality = new QHBoxLayout;
    quality->addWidget(lblQuality);
    quality->addWidget(lblQualityLow);
    quality->addWidget(sliderOGG, 1);
    quality->addWidget(lblQualityHigh);
    quality->addWidget(lblSliderOGG);

    auto* page = new QVBoxLayout(this);
    page->addLayout(modes);
    page->addLayout(quality);
    page->addStretch();

    // A screen reader names the slider by the text beside it.
    lblQuality->setBuddy(sliderOGG);

    bind(options.optOGGCBR, optOGGCBR);
    bind(options.optOGGVBR, optOGGVBR);
    bind(options.cmbOGGCBitrate, cmbOGGCBitrate);
    bind(options.cmbOGGVBitrate, cmbOGGVBitrate);
    bind(options.sliderOGG, sliderOGG);
    bind(options.lblSliderOGG, lblSliderOGG);

    m_options = &options;
    applyCaptions();
}

void OggOptionsView::applyCaptions()
{
    lblQualityLow->setText(lang::caption(lang::StringId::Low));
    lblQualityHigh->setText(lang::caption(lang::StringId::High));
    lblQuality->setText(lang::caption(lang::StringId::EncoderQuality));
    // The design keeps the modes' captions and the lists' items in English;
    // they are shown in the language chosen. The variable mode's caption is
    // the design's text of the same words (10046).
    optOGGCBR->setText(lang::caption(lang::StringId::OggConstantBitrate));
    optOGGVBR->setText(lang::caption(lang::StringId::VbrValue));
    cmbOGGCBitrate->setAccessibleName(optOGGCBR->text());
    cmbOGGVBitrate->setAccessibleName(optOGGVBR->text());
    if (m_options) {
        rewordList(cmbOGGCBitrate, m_options->cmbOGGCBitrate);
        rewordList(cmbOGGVBitrate, m_options->cmbOGGVBitrate);
    }
}

} // namespace options
