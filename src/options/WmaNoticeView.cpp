#include "options/WmaNoticeView.h"

#include "lang/StringLookup.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace options {

WmaNoticeView::WmaNoticeView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frFormat_4"));
    // It hides the WMA page under it.
    setAutoFillBackground(true);

    Label35 = new QLabel(this);
    Label35->setObjectName(QStringLiteral("Label35"));
    Label35->setWordWrap(true);
    cmdDownloadWMF = new QPushButton(this);
    cmdDownloadWMF->setObjectName(QStringLiteral("cmdDownloadWMF"));
    cmdOpenWMSite = new QPushButton(this);
    cmdOpenWMSite->setObjectName(QStringLiteral("cmdOpenWMSite"));
    Label36 = new QLabel(this);
    Label36->setObjectName(QStringLiteral("Label36"));
    Label36->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label35);
    layout->addWidget(cmdDownloadWMF);
    layout->addWidget(cmdOpenWMSite);
    layout->addWidget(Label36);
    layout->addStretch();

    applyCaptions();
}

void WmaNoticeView::applyCaptions()
{
    Label35->setText(lang::caption(lang::StringId::WmfNotInstalled));
    cmdDownloadWMF->setText(lang::caption(lang::StringId::DownloadWmf));
    cmdOpenWMSite->setText(lang::caption(lang::StringId::OpenWmSite));
    Label36->setText(lang::caption(lang::StringId::RestartAfterInstalling));
}

} // namespace options
