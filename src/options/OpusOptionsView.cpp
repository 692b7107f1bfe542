#include "options/OpusOptionsView.h"

#include "options/FormatOptions.h"
#include "options/ListItemWords.h"
#include "options/QtOptionBinding.h"
#include "options/SliderRowWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace options {

OpusOptionsView::OpusOptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_5"));
    bitrate = new SliderRowWidget(options.sliderOpusBitrate, options.lblOpusBitrate,
                                  {lang::StringId::Bitrate, lang::StringId::Low, lang::StringId::High}, this);
    m_tunedFor = new QLabel(this);
    optOpusAudio = new QRadioButton(this);
    optOpusAudio->setObjectName(QStringLiteral("optOpusAudio"));
    optOpusVoIP = new QRadioButton(this);
    optOpusVoIP->setObjectName(QStringLiteral("optOpusVoIP"));
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto* tuning = new QHBoxLayout;
    tuning->addWidget(m_tunedFor);
    tuning->addWidget(optOpusAudio);
    tuning->addWidget(optOpusVoIP);
    tuning->addStretch();

    auto* page = new QVBoxLayout(this);
    page->addWidget(bitrate);
    page->addLayout(tuning);
    page->addWidget(m_note);
    page->addStretch();

    bind(options.optOpusAudio, optOpusAudio);
    bind(options.optOpusVoIP, optOpusVoIP);
    applyCaptions();
}

void OpusOptionsView::applyCaptions()
{
    bitrate->applyCaptions();
    m_tunedFor->setText(lang::caption(lang::StringId::OpusTunedFor));
    optOpusAudio->setText(lang::caption(lang::StringId::OpusAudio));
    optOpusVoIP->setText(lang::caption(lang::StringId::OpusVoip));
    m_note->setText(withoutLoneLastWord(lang::caption(lang::StringId::OpusResampled)));
}

} // namespace options
