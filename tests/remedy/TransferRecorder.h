#pragma once

#include "remedy/DownloadTexts.h"
#include "remedy/TransferJob.h"
#include "remedy/WmaRemedies.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <utility>

namespace testsupport {

//! Stands in for the download dialog where a test is about what runs behind
//! it: records the texts, starts the job, records its progress and waits for
//! its end; with `cancelOnData` it cancels as the first data arrives, as a
//! click on Cancel would.
struct TransferRecorder {
    QList<remedy::DownloadTexts> shown;
    QList<std::pair<qint64, qint64>> progress;
    QStringList failures; //!< what each job's dialog said failed (empty when nothing)
    bool cancelOnData = false;
    bool endedInTime = true;

    remedy::WmaRemedies::ShowTransfer presenter()
    {
        return [this](const remedy::DownloadTexts& texts, remedy::TransferJob& job) {
            shown.append(texts);
            run(job);
        };
    }

    void run(remedy::TransferJob& job)
    {
        QObject context;
        QObject::connect(&job, &remedy::TransferJob::progressed, &context, [this, &job](qint64 done, qint64 total) {
            progress.append({done, total});
            if (cancelOnData && done > 0)
                job.cancel();
        });
        job.start();
        endedInTime = QTest::qWaitFor([&job] { return job.isFinished(); }, 30000);
        failures.append(job.failureText());
    }
};

} // namespace testsupport
