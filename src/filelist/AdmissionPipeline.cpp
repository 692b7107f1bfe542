#include "filelist/AdmissionPipeline.h"

#include "filelist/FileAdmissionRules.h"

#include <QThread>
#include <algorithm>

namespace filelist {

namespace {

// How far the probes may run ahead of the files handed out: enough to keep
// every worker busy, little enough that a cancelled add wastes no time.
constexpr qsizetype kLookAhead = 32;

} // namespace

AdmissionPipeline::AdmissionPipeline(QStringList paths, QSet<QString> alreadyListed, int workers)
    : m_paths(std::move(paths)), m_alreadyListed(std::move(alreadyListed)), m_results(size_t(m_paths.size()))
{
    if (workers <= 0)
        workers = std::max(1, QThread::idealThreadCount());
    workers = int(std::min<qsizetype>(workers, m_paths.size()));
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

AdmissionPipeline::~AdmissionPipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_advance.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void AdmissionPipeline::work()
{
    for (;;) {
        qsizetype index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_advance.wait(lock, [this] {
                return m_stopping || m_nextToProbe >= m_paths.size() || m_nextToProbe < m_taken + kLookAhead;
            });
            if (m_stopping || m_nextToProbe >= m_paths.size())
                return;
            index = m_nextToProbe++;
        }
        ProbedFile probed;
        const QString normalised = NormaliseAdmissionPath(m_paths.at(index));
        if (m_alreadyListed.contains(normalised)) {
            probed.path = normalised;
            probed.admittedExtension = true;
        } else {
            probed = ProbeFile(normalised);
        }
        {
            std::lock_guard lock(m_mutex);
            m_results[size_t(index)] = std::move(probed);
        }
        m_ready.notify_all();
    }
}

std::optional<ProbedFile> AdmissionPipeline::next(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    if (m_taken >= m_paths.size())
        return std::nullopt;
    std::optional<ProbedFile>& slot = m_results[size_t(m_taken)];
    if (!m_ready.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&slot] { return slot.has_value(); }))
        return std::nullopt;
    ProbedFile result = std::move(*slot);
    slot.reset();
    ++m_taken;
    lock.unlock();
    m_advance.notify_all();
    return result;
}

} // namespace filelist
