#include "options/AacOptionsView.h"

#include "options/FormatOptions.h"
#include "options/ListItemWords.h"
#include "options/SliderRowWidget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace options {

AacOptionsView::AacOptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_6"));
    bitrate = new SliderRowWidget(options.sliderAACBitrate, options.lblAACBitrate,
                                  {lang::StringId::Bitrate, lang::StringId::Low, lang::StringId::High}, this);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->addWidget(bitrate);
    page->addWidget(m_note);
    page->addStretch();
    applyCaptions();
}

void AacOptionsView::applyCaptions()
{
    bitrate->applyCaptions();
    m_note->setText(withoutLoneLastWord(lang::caption(lang::StringId::AacInM4a)));
}

} // namespace options
