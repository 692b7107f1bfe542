#include "loudness/AlbumLoudness.h"

#include "loudness/LoudnessStore.h"
#include "loudness/ReplayGainFields.h"
#include "platform/Path.h"

#include <chrono>

namespace loudness {

namespace {

// How often a worker waiting for others' measuring looks at the stop flag.
constexpr std::chrono::milliseconds kStopPoll(100);

} // namespace

AlbumLoudness::~AlbumLoudness()
{
    finish();
}

QString AlbumLoudness::albumOf(const QString& inputPath)
{
    QString file = LoudnessStore::identifyingFile(inputPath);
    if (file != inputPath)
        return file;
    return platform::Path(inputPath).parent().toString();
}

void AlbumLoudness::addRow(int row, const QString& inputPath)
{
    std::lock_guard lock(m_mutex);
    Row& added = m_rows[row];
    added.path = inputPath;
    added.album = albumOf(inputPath);
}

std::optional<LoudnessFigures> AlbumLoudness::albumBeforeGain(int row, const Measure& measure,
                                                              const std::function<bool()>& stopped)
{
    std::unique_lock lock(m_mutex);
    const auto own = m_rows.find(row);
    if (own == m_rows.end())
        return std::nullopt;
    const QString album = own->second.album;
    for (;;) {
        Row* next = nullptr;
        bool pending = false;
        for (auto& [index, member] : m_rows) {
            if (member.album != album)
                continue;
            if (member.before == Before::NotMeasured && !next)
                next = &member;
            pending = pending || member.before == Before::NotMeasured || member.before == Before::Measuring;
        }
        if (next) {
            next->before = Before::Measuring;
            const QString path = next->path;
            lock.unlock();
            bool wasStopped = false;
            std::optional<LoudnessAnalysis> analysis;
            try {
                analysis = measure(path, wasStopped);
            } catch (...) {
                // Failed: the others must not wait for it.
            }
            lock.lock();
            next->before = analysis ? Before::Measured : wasStopped ? Before::NotMeasured : Before::Failed;
            if (analysis)
                next->beforeGain = std::move(*analysis);
            m_changed.notify_all();
            if (wasStopped)
                return std::nullopt;
            continue;
        }
        if (!pending)
            break;
        m_changed.wait_for(lock, kStopPoll);
        if (stopped())
            return std::nullopt;
    }
    std::vector<const LoudnessAnalysis*> measured;
    for (const auto& [index, member] : m_rows)
        if (member.album == album && member.before == Before::Measured)
            measured.push_back(&member.beforeGain);
    if (measured.empty())
        return std::nullopt;
    return LoudnessFigures::of(measured);
}

void AlbumLoudness::rowEnded(int row, const QString& output, std::shared_ptr<const MeasuredOutput> measured)
{
    QString album;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_rows.find(row);
        if (found == m_rows.end())
            return;
        Row& ended = found->second;
        if (ended.ended)
            return;
        ended.ended = true;
        ended.output = output;
        ended.measured = std::move(measured);
        album = ended.album;
        for (const auto& [index, member] : m_rows)
            if (member.album == album && (!member.ended || !member.measured || member.output.isEmpty()))
                return; // still running, or it will never have album tags
    }
    tagAlbum(album);
}

void AlbumLoudness::tagAlbum(const QString& album)
{
    struct Output {
        int row;
        QString path;
        tags::TagFormat format;
        QString source;
    };
    std::vector<std::shared_ptr<const MeasuredOutput>> keep;
    std::vector<const LoudnessAnalysis*> tracks;
    std::vector<Output> outputs;
    std::lock_guard lock(m_mutex);
    for (auto& [index, member] : m_rows) {
        if (member.album != album)
            continue;
        keep.push_back(member.measured);
        tracks.push_back(&member.measured->analysis);
        member.tags = Tags::Done;
        if (member.measured->writeTags)
            outputs.push_back({index, member.output, member.measured->format, member.path});
    }
    const LoudnessFigures figures = LoudnessFigures::of(tracks);
    if (outputs.empty() || !figures.measurable())
        return;
    for (const Output& output : outputs)
        m_rows[output.row].tags = Tags::Writing;
    // Written beside the conversions still running: rewriting a file can take
    // as long as copying it.
    m_writers.emplace_back([this, outputs, figures] {
        for (const Output& output : outputs) {
            const std::optional<QString> failure = m_rewrite(
                output.path, output.format, ReplayGainFields(output.format, GainScope::Album, figures), output.source);
            std::lock_guard written(m_mutex);
            Row& row = m_rows[output.row];
            row.tags = Tags::Done;
            row.tagFailure = failure;
        }
        if (m_onSettled)
            m_onSettled();
    });
}

bool AlbumLoudness::settled(int row)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_rows.find(row);
    if (found == m_rows.end() || found->second.tags == Tags::Done)
        return true;
    const Row& own = found->second;
    if (own.tags == Tags::Writing)
        return false;
    if (!getsTags(own))
        return true;
    // Waits for the rest of its album, unless one of them ended without a
    // complete output: the album then gets no tags.
    bool rest = false;
    for (const auto& [index, member] : m_rows) {
        if (member.album != own.album)
            continue;
        if (member.ended && (!member.measured || member.output.isEmpty()))
            return true;
        rest = rest || !member.ended;
    }
    return !rest;
}

std::optional<QString> AlbumLoudness::tagFailure(int row)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_rows.find(row);
    return found == m_rows.end() ? std::nullopt : found->second.tagFailure;
}

void AlbumLoudness::finish()
{
    std::vector<std::thread> writers;
    {
        std::lock_guard lock(m_mutex);
        writers.swap(m_writers);
    }
    for (std::thread& writer : writers)
        writer.join();
    std::lock_guard lock(m_mutex);
    for (auto& [index, member] : m_rows)
        member.tags = Tags::Done;
}

} // namespace loudness
