#include "options/FlacOptionsView.h"

#include "options/FormatOptions.h"
#include "options/ListItemWords.h"
#include "options/SliderRowWidget.h"

#include <QLabel>
#include <QVBoxLayout>

namespace options {

FlacOptionsView::FlacOptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_4"));
    level = new SliderRowWidget(
        options.sliderFLACLevel, options.lblFLACLevel,
        {lang::StringId::CompressionLevel, lang::StringId::LowFaster, lang::StringId::HighSlower}, this);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto* page = new QVBoxLayout(this);
    page->addWidget(level);
    page->addWidget(m_note);
    page->addStretch();
    applyCaptions();
}

void FlacOptionsView::applyCaptions()
{
    level->applyCaptions();
    m_note->setText(withoutLoneLastWord(lang::caption(lang::StringId::FlacKeepsDepth)));
}

} // namespace options
