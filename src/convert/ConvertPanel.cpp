#include "convert/ConvertPanel.h"

#include "convert/ConversionBatch.h"
#include "lang/StringLookup.h"
#include "options/QtOptionBinding.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

void bindCaption(CaptionButtonState& state, QPushButton* button)
{
    button->setObjectName(state.name());
    button->setText(state.Caption());
    QObject::connect(&state, &CaptionButtonState::captionChanged, button, &QPushButton::setText);
    options::bind(state, button);
}

} // namespace

ConvertPanel::ConvertPanel(ConversionBatch& batch, QWidget* parent) : QWidget(parent), m_batch(batch)
{
    cmdConvert = new QPushButton(this);
    cmdConvertSelected = new QPushButton(this);
    chkShutdown = new QCheckBox(this);
    chkShutdown->setObjectName(batch.chkShutdown.name());

    bindCaption(batch.cmdConvert, cmdConvert);
    bindCaption(batch.cmdConvertSelected, cmdConvertSelected);
    options::bind(batch.chkShutdown, chkShutdown);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chkShutdown, 1);
    layout->addWidget(cmdConvertSelected);
    layout->addWidget(cmdConvert);
    applyCaptions();
}

void ConvertPanel::applyCaptions()
{
    m_batch.applyCaptions();
    chkShutdown->setText(lang::caption(lang::StringId::ShutdownAfterConversion));
}
