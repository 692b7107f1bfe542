#include "convert/ConvertPanel.h"

#include "convert/ConversionBatch.h"
#include "lang/StringLookup.h"
#include "options/QtOptionBinding.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace convert {

namespace {

void bindCaption(CaptionButtonState& state, QPushButton* button)
{
    button->setObjectName(state.name());
    button->setText(state.Caption());
    QObject::connect(&state, &CaptionButtonState::captionChanged, button, &QPushButton::setText);
    options::bind(state, button);
}

constexpr int kProgressIntervalMs = 500;

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
    lblBatchProgress = new QLabel(this);
    lblBatchProgress->setObjectName(QStringLiteral("lblBatchProgress"));

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &ConvertPanel::showProgress);
    connect(&batch, &ConversionBatch::batchStarted, this, [this] {
        showProgress();
        m_progressTimer->start();
    });
    connect(&batch, &ConversionBatch::batchEnded, this, [this] {
        m_progressTimer->stop();
        showSummary();
    });
    lblBatchProgress->setTextFormat(Qt::RichText);
    connect(lblBatchProgress, &QLabel::linkActivated, this,
            [this] { Q_EMIT openOutputFolderRequested(m_batch.summary().outputFolder); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chkShutdown);
    layout->addStretch(1);
    layout->addWidget(lblBatchProgress);
    layout->addWidget(cmdConvertSelected);
    layout->addWidget(cmdConvert);
    applyCaptions();
}

void ConvertPanel::applyCaptions()
{
    m_batch.applyCaptions();
    if (!m_progressTimer->isActive())
        showSummary();
    chkShutdown->setText(lang::caption(lang::StringId::ShutdownAfterConversion));
}

void ConvertPanel::showProgress()
{
    lblBatchProgress->setText(ConversionBatch::progressCaption(m_batch.progress()).toHtmlEscaped());
}

void ConvertPanel::showSummary()
{
    const ConversionBatch::Summary& summary = m_batch.summary();
    if (summary == ConversionBatch::Summary()) {
        lblBatchProgress->clear();
        return;
    }
    QString line = ConversionBatch::summaryText(summary).toHtmlEscaped();
    if (!summary.outputFolder.isEmpty())
        line += QStringLiteral(" \u00B7 <a href=\"folder\">%1</a>")
                    .arg(lang::caption(lang::StringId::OpenOutputFolder).toHtmlEscaped());
    lblBatchProgress->setText(line);
}

} // namespace convert
