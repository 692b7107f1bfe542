#include "remedy/DownloadDialog.h"

#include "lang/StringLookup.h"
#include "remedy/DownloadTexts.h"
#include "remedy/TransferJob.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace remedy {

DownloadDialog::DownloadDialog(const DownloadTexts& texts, TransferJob& job, QWidget* parent)
    : QDialog(parent), m_job(job)
{
    setObjectName(QStringLiteral("frmDownload"));
    setWindowTitle(texts.title);
    setModal(true);

    imgSmallWizard = new QLabel(this);
    imgSmallWizard->setObjectName(QStringLiteral("imgSmallWizard"));
    const QPixmap picture(texts.smallWizardImage);
    imgSmallWizard->setPixmap(picture);
    imgSmallWizard->setVisible(!picture.isNull());

    lblLabel = new QLabel(texts.label, this);
    lblLabel->setObjectName(QStringLiteral("lblLabel"));
    QFont headingFont = lblLabel->font();
    headingFont.setBold(true);
    lblLabel->setFont(headingFont);
    lblDescription = new QLabel(texts.description, this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setTextFormat(Qt::PlainText); // a failure may quote an address

    prgDownload = new QProgressBar(this);
    prgDownload->setObjectName(QStringLiteral("prgDownload"));
    prgDownload->setRange(0, 0);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cmdCancel = m_buttons->button(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_buttons, &QDialogButtonBox::rejected, this, &DownloadDialog::reject);

    auto* words = new QVBoxLayout;
    words->addWidget(lblLabel);
    words->addWidget(lblDescription);
    auto* head = new QHBoxLayout;
    head->addWidget(imgSmallWizard, 0, Qt::AlignTop);
    head->addLayout(words, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addSpacing(8);
    layout->addWidget(prgDownload);
    layout->addStretch();
    layout->addWidget(m_buttons);
    setMinimumWidth(480);

    connect(&job, &TransferJob::progressed, this, &DownloadDialog::showProgress);
    connect(&job, &TransferJob::finished, this, &DownloadDialog::jobFinished);
}

void DownloadDialog::jobFinished()
{
    if (m_job.failureText().isEmpty()) {
        accept();
        return;
    }
    // What failed stays in view until the user closes the dialog.
    lblLabel->setText(lang::caption(lang::StringId::DownloadFailed));
    lblDescription->setText(m_job.failureText());
    prgDownload->hide();
    m_buttons->setStandardButtons(QDialogButtonBox::Close);
    cmdCancel = m_buttons->button(QDialogButtonBox::Close);
    cmdCancel->setObjectName(QStringLiteral("cmdClose"));
    cmdCancel->setFocus();
}

void DownloadDialog::run(const DownloadTexts& texts, TransferJob& job, QWidget* parent)
{
    DownloadDialog dialog(texts, job, parent);
    // Started inside the dialog's loop, so a job that ends at once still
    // finds the loop running and closes it.
    QTimer::singleShot(0, &dialog, [&job] { job.start(); });
    dialog.exec();
}

void DownloadDialog::reject()
{
    if (m_job.isFinished()) {
        QDialog::reject();
        return;
    }
    cmdCancel->setEnabled(false);
    m_job.cancel(); // its end closes the dialog
}

void DownloadDialog::showProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        prgDownload->setRange(0, 0);
        return;
    }
    // Percent steps keep the bar's range inside an int for any size.
    prgDownload->setRange(0, 100);
    prgDownload->setValue(static_cast<int>(qBound(qint64(0), done * 100 / total, qint64(100))));
}

} // namespace remedy
