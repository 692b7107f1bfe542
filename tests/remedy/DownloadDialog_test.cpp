#include "remedy/DownloadDialog.h"
#include "remedy/DownloadTexts.h"
#include "remedy/TransferJob.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using remedy::DownloadDialog;
using remedy::DownloadTexts;

// A job the test drives by hand; the dialog is what is tested.
class HandDrivenJob : public remedy::TransferJob {
public:
    int starts = 0;
    int cancels = 0;
    std::function<void()> onStart;
    void start() override
    {
        ++starts;
        if (onStart)
            onStart();
    }
    void cancel() override
    {
        ++cancels;
        markFinished();
    }
    void report(qint64 done, qint64 total) { Q_EMIT progressed(done, total); }
    void failWith(const QString& text)
    {
        setFailureText(text);
        markFinished();
    }
};

TEST(DownloadDialog, ShowsTheTextsThePictureAndTheProgress)
{
    QTemporaryDir program;
    QImage picture(55, 55, QImage::Format_RGB32);
    picture.fill(Qt::darkRed);
    ASSERT_TRUE(picture.save(program.filePath(QStringLiteral("icon.bmp"))));
    HandDrivenJob job;
    DownloadDialog dialog(DownloadTexts::forTitle(QStringLiteral("Windows Media Format 9.0..."), program.path()), job);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Downloading Windows Media Format 9.0..."));
    EXPECT_EQ(dialog.lblLabel->text(), QStringLiteral("Downloading Windows Media Format 9.0..."));
    EXPECT_EQ(dialog.lblDescription->text(),
              QStringLiteral("Downloading Windows Media Format 9.0..., Please wait...."));
    EXPECT_EQ(dialog.imgSmallWizard->pixmap().size(), QSize(55, 55));

    // Busy until the size is known, then percent of it, sizes past 32 bits included.
    EXPECT_EQ(dialog.prgDownload->maximum(), 0);
    job.report(1536, 4096);
    EXPECT_EQ(dialog.prgDownload->value(), 37);
    job.report(6LL << 32, 8LL << 32);
    EXPECT_EQ(dialog.prgDownload->value(), 75);
    job.report(10, -1);
    EXPECT_EQ(dialog.prgDownload->maximum(), 0);
}

// run() starts the job; Cancel, Escape and the window's close button cancel
// it, and the dialog closes once it has stopped.
TEST(DownloadDialog, CancelEscapeAndCloseCancelTheJobAndEndTheDialog)
{
    const std::function<void(DownloadDialog&)> ways[] = {
        [](DownloadDialog& d) { QTest::mouseClick(d.cmdCancel, Qt::LeftButton); },
        [](DownloadDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](DownloadDialog& d) { d.close(); },
    };
    for (const auto& way : ways) {
        HandDrivenJob job;
        job.onStart = [&job, &way] {
            QTimer::singleShot(0, &job, [&job, &way] {
                auto* dialog = qobject_cast<DownloadDialog*>(QApplication::activeModalWidget());
                if (dialog) {
                    way(*dialog);
                } else {
                    ADD_FAILURE() << "no dialog is showing";
                    job.cancel();
                }
            });
        };
        DownloadDialog::run(DownloadTexts::forTitle(QStringLiteral("x"), QString()), job, nullptr);
        EXPECT_EQ(job.starts, 1);
        EXPECT_EQ(job.cancels, 1);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// A failed job's words stay in view until the user closes the dialog.
TEST(DownloadDialog, AFailureIsShownUntilClosed)
{
    HandDrivenJob job;
    bool shown = false;
    job.onStart = [&] {
        QTimer::singleShot(0, &job, [&] {
            job.failWith(QStringLiteral("The server answered with status 404 (Not Found)."));
            QTimer::singleShot(50, &job, [&] {
                auto* dialog = qobject_cast<DownloadDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr) << "the dialog closed without a word";
                shown = true;
                EXPECT_EQ(dialog->lblLabel->text(), QStringLiteral("The download failed."));
                EXPECT_EQ(dialog->lblDescription->text(),
                          QStringLiteral("The server answered with status 404 (Not Found)."));
                EXPECT_FALSE(dialog->prgDownload->isVisible());
                QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
            });
        });
    };
    DownloadDialog::run(DownloadTexts::forTitle(QStringLiteral("x"), QString()), job, nullptr);
    EXPECT_TRUE(shown);
    EXPECT_EQ(job.cancels, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
