#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace remedy {

struct DownloadTexts;
class TransferJob;

//! The download dialog: the picture, heading and description of the download,
//! a progress bar (busy while the size is unknown) and Cancel. It closes by
//! itself when the job ends, unless the job failed with something to say:
//! then it says what failed, and Cancel becomes Close. Cancel, Escape and the
//! window's close button cancel the job and close once it has stopped.
class DownloadDialog : public QDialog {
    Q_OBJECT
public:
    DownloadDialog(const DownloadTexts& texts, TransferJob& job, QWidget* parent = nullptr);

    //! Starts `job` and shows its progress modally until it has finished.
    static void run(const DownloadTexts& texts, TransferJob& job, QWidget* parent);

    void reject() override;

    QLabel* imgSmallWizard = nullptr;
    QLabel* lblLabel = nullptr;
    QLabel* lblDescription = nullptr;
    QProgressBar* prgDownload = nullptr;
    //! Cancel while the job runs; Close after it failed.
    QPushButton* cmdCancel = nullptr;

private:
    void showProgress(qint64 done, qint64 total);
    void jobFinished();

    QDialogButtonBox* m_buttons = nullptr;
    TransferJob& m_job;
};

} // namespace remedy
