#include "options/WmaNoticeView.h"

#include "lang/StringLookup.h"
#include "options/FormatOptions.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace options {

WmaNoticeView::WmaNoticeView(QWidget* parent) : QWidget(parent)
{
    // Named after its number among the pages, which follows the format pages
    // (the FLAC page is "frFormat_4").
    setObjectName(QStringLiteral("frFormat_%1").arg(FormatOptions::kWmaNoticePage));
    // It hides the WMA page under it.
    setAutoFillBackground(true);

    lblNotInstalled = new QLabel(this);
    lblNotInstalled->setObjectName(QStringLiteral("Label35"));
    lblNotInstalled->setWordWrap(true);
    cmdDownloadWMF = new QPushButton(this);
    cmdDownloadWMF->setObjectName(QStringLiteral("cmdDownloadWMF"));
    cmdOpenWMSite = new QPushButton(this);
    cmdOpenWMSite->setObjectName(QStringLiteral("cmdOpenWMSite"));
    lblRestartAfterInstalling = new QLabel(this);
    lblRestartAfterInstalling->setObjectName(QStringLiteral("Label36"));
    lblRestartAfterInstalling->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNotInstalled);
    layout->addWidget(cmdDownloadWMF);
    layout->addWidget(cmdOpenWMSite);
    layout->addWidget(lblRestartAfterInstalling);
    layout->addStretch();

    applyCaptions();
}

void WmaNoticeView::applyCaptions()
{
    lblNotInstalled->setText(lang::caption(lang::StringId::WmfNotInstalled));
    cmdDownloadWMF->setText(lang::caption(lang::StringId::DownloadWmf));
    cmdOpenWMSite->setText(lang::caption(lang::StringId::OpenWmSite));
    lblRestartAfterInstalling->setText(lang::caption(lang::StringId::RestartAfterInstalling));
}

} // namespace options
