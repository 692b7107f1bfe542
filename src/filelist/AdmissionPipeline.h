#pragma once

#include "filelist/ProbedFile.h"

#include <QSet>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace filelist {

//! Probes a list of paths on worker threads, a little ahead of their turn,
//! and hands the results out in the paths' order, so that rows appear in
//! order while the thread that owns the list only appends them. Paths in
//! `alreadyListed` are handed out unprobed (admission refuses them anyway).
class AdmissionPipeline {
public:
    explicit AdmissionPipeline(QStringList paths, QSet<QString> alreadyListed = {}, int workers = 0);
    ~AdmissionPipeline();
    AdmissionPipeline(const AdmissionPipeline&) = delete;
    AdmissionPipeline& operator=(const AdmissionPipeline&) = delete;

    //! The next file in order, waiting at most `timeoutMs` for its probe;
    //! nothing when it is not ready yet or when every file was handed out.
    std::optional<ProbedFile> next(int timeoutMs);

    bool atEnd() const { return m_taken >= m_paths.size(); }
    qsizetype taken() const { return m_taken; }
    qsizetype total() const { return m_paths.size(); }

private:
    void work();

    const QStringList m_paths;
    const QSet<QString> m_alreadyListed;
    std::vector<std::optional<ProbedFile>> m_results;
    qsizetype m_taken = 0;

    std::mutex m_mutex;
    std::condition_variable m_ready;   // a result arrived
    std::condition_variable m_advance; // a result was taken, or the end came
    qsizetype m_nextToProbe = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace filelist
