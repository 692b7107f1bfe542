#include "convert/ConvertPanel.h"

#include "convert/ConversionBatch.h"
#include "lang/StringLookup.h"
#include "options/QtOptionBinding.h"
#include "platform/FileName.h"
#include "platform/Path.h"

#include <QCheckBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace convert {

namespace {

void bindCaption(CaptionButtonState& state, QPushButton* button)
{
    button->setObjectName(state.name());
    button->setText(state.Caption());
    QObject::connect(&state, &CaptionButtonState::captionChanged, button, &QPushButton::setText);
    options::bind(state, button);
}

//! Makes `button` at least as wide as each of `captions` needs, so a change
//! between them moves and resizes nothing.
void fitCaptions(QPushButton* button, const QStringList& captions)
{
    const QString shown = button->text();
    int width = 0;
    for (const QString& caption : captions) {
        button->setText(caption);
        width = std::max(width, button->sizeHint().width());
    }
    button->setText(shown);
    button->setMinimumWidth(width);
}

constexpr int kProgressIntervalMs = 500;
const QString kSeparator = QStringLiteral(" \u00B7 ");

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
    lblBatchProgress->setTextFormat(Qt::RichText);
    lblBatchProgress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The line gives way to the panel's width; it is shortened to fit.
    lblBatchProgress->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblBatchProgress->setMinimumHeight(lblBatchProgress->fontMetrics().height());

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressIntervalMs);
    connect(m_progressTimer, &QTimer::timeout, this, &ConvertPanel::showProgress);
    connect(&batch, &ConversionBatch::batchStarted, this, [this] {
        showProgress();
        m_progressTimer->start();
    });
    connect(&batch, &ConversionBatch::batchEnded, this, [this] {
        m_progressTimer->stop();
        showSummary(m_batch.summary());
    });
    connect(lblBatchProgress, &QLabel::linkActivated, this, &ConvertPanel::openOutputFolder);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkShutdown);
    buttons->addStretch(1);
    buttons->addWidget(cmdConvertSelected);
    buttons->addWidget(cmdConvert);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(lblBatchProgress);
    layout->addLayout(buttons);
    applyCaptions();
}

void ConvertPanel::applyCaptions()
{
    m_batch.applyCaptions();
    const QString stop = lang::caption(lang::StringId::Stop);
    fitCaptions(cmdConvert, {lang::caption(lang::StringId::ConvertAll), stop});
    fitCaptions(cmdConvertSelected, {lang::caption(lang::StringId::ConvertSelected), stop});
    if (!m_progressTimer->isActive())
        showSummary(m_batch.summary());
    chkShutdown->setText(lang::caption(lang::StringId::ShutdownAfterConversion));
}

void ConvertPanel::showProgress()
{
    showLine(ConversionBatch::progressCaption(m_batch.progress()), false);
}

void ConvertPanel::showSummary(const ConversionBatch::Summary& summary)
{
    m_outputFolders = summary.outputFolders;
    if (summary == ConversionBatch::Summary()) {
        showLine(QString(), false);
        return;
    }
    showLine(ConversionBatch::summaryText(summary), !summary.outputFolders.isEmpty());
}

void ConvertPanel::showLine(const QString& line, bool linked)
{
    m_line = line;
    m_linked = linked;
    const QFontMetrics metrics = lblBatchProgress->fontMetrics();
    const QString link = linked ? lang::caption(lang::StringId::OpenOutputFolder) : QString();
    const int room =
        lblBatchProgress->contentsRect().width() - (linked ? metrics.horizontalAdvance(kSeparator + link) : 0);
    const QString shown = metrics.elidedText(line, Qt::ElideRight, std::max(0, room));
    QString html = shown.toHtmlEscaped();
    if (linked)
        html += kSeparator + QStringLiteral("<a href=\"folder\">%1</a>").arg(link.toHtmlEscaped());
    lblBatchProgress->setText(html);
    lblBatchProgress->setToolTip(shown == line ? QString() : line + (linked ? kSeparator + link : QString()));
}

void ConvertPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showLine(m_line, m_linked);
}

QString ConvertPanel::folderToOpen(const QStringList& folders)
{
    QList<platform::Path> paths;
    for (const QString& folder : folders)
        paths.append(platform::Path(folder));
    const platform::Path common = platform::commonFolder(paths);
    return common.toString() == QLatin1String("/") ? QString() : common.toString();
}

void ConvertPanel::openOutputFolder()
{
    const QStringList& folders = m_outputFolders;
    const QString common = folderToOpen(folders);
    if (!common.isEmpty() || folders.size() < 2) {
        Q_EMIT openOutputFolderRequested(common.isEmpty() ? folders.value(0) : common);
        return;
    }
    // Folders on different ground (another disk, say): each is offered.
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuOutputFolders"));
    for (const QString& folder : folders)
        connect(menu.addAction(platform::displayName(folder)), &QAction::triggered, this,
                [this, folder] { Q_EMIT openOutputFolderRequested(folder); });
    menu.exec(QCursor::pos());
}

} // namespace convert
