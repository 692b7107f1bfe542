#pragma once

#include "loudness/LoudnessAnalysis.h"
#include "loudness/LoudnessFigures.h"
#include "tags/WriteTagFields.h"

#include <QList>
#include <QString>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace loudness {

//! What a row measured of the output it made: the loudness of the audio the
//! encoder got, and how the output is tagged.
struct MeasuredOutput {
    LoudnessAnalysis analysis;
    tags::TagFormat format = tags::TagFormat::Wav;
    bool writeTags = false; //!< "Write ReplayGain tags" was ticked for the row
};

//! The albums of one batch: the rows of one folder, or of one disc or CUE
//! sheet, that the batch converts. Each album's loudness is measured over all
//! its rows together, from what the rows measured while they were converted
//! (nothing is decoded twice), whichever worker converted them. Once every
//! row of an album has ended complete, its album gain and peak are written
//! into each of its outputs (on a thread of its own); an album with a row
//! that was stopped, failed or never started gets no album tags. A row whose
//! album tags could not be written keeps that failure (tagFailure()): its
//! row is not complete.
//!
//! Normalising by album needs the album's loudness before any row is
//! encoded: albumBeforeGain() has the workers measure the album's files
//! between them, each file once.
class AlbumLoudness {
public:
    //! Rewrites `fields` into the finished `output`, `input`'s; the reason
    //! when it could not, which the row then keeps.
    using RewriteFields = std::function<std::optional<QString>(
        const QString& output, tags::TagFormat format, const QList<tags::TagField>& fields, const QString& input)>;

    explicit AlbumLoudness(RewriteFields rewrite) : m_rewrite(std::move(rewrite)) {}
    //! Waits for the album tags still being written.
    ~AlbumLoudness();
    AlbumLoudness(const AlbumLoudness&) = delete;
    AlbumLoudness& operator=(const AlbumLoudness&) = delete;

    //! The album of an input: the file of a CUE sheet's or a disc's track
    //! ("album.cue" for "album.cue#03", "/dev/sr0" for "/dev/sr0#03"), else
    //! the folder of the file.
    static QString albumOf(const QString& inputPath);

    //! Makes `row` one the batch converts; all are added before any starts.
    void addRow(int row, const QString& inputPath);

    //! Measures one input as its conversion would decode it; empty when it
    //! cannot, with `stopped` set when the user stopped.
    using Measure = std::function<std::optional<LoudnessAnalysis>(const QString& path, bool& stopped)>;
    //! On a worker: the loudness of `row`'s album before any gain. Rows of the
    //! album no worker has measured yet are measured here, one after the
    //! other; rows other workers are measuring are waited for. Empty when the
    //! user stopped (`stopped` is asked while waiting) or nothing of the album
    //! could be measured.
    std::optional<LoudnessFigures> albumBeforeGain(int row, const Measure& measure,
                                                   const std::function<bool()>& stopped);

    //! On the batch's thread: `row` has ended. `measured` is set only when it
    //! completed and its output got its final name `output`.
    void rowEnded(int row, const QString& output, std::shared_ptr<const MeasuredOutput> measured);

    //! Waits for the album tags still being written; every row is settled
    //! afterwards.
    void finish();

    //! Run on a writing thread each time an album's tags have been written.
    void setOnSettled(std::function<void()> settled) { m_onSettled = std::move(settled); }
    //! Whether `row` (which has ended) will get no more album tags: they
    //! were written, or never will be. A row the batch does not convert is.
    bool settled(int row);
    //! Why `row`'s album tags could not be written; empty when they were, or
    //! were not to be.
    std::optional<QString> tagFailure(int row);

private:
    enum class Before { NotMeasured, Measuring, Measured, Failed };
    enum class Tags { Open, Writing, Done };
    struct Row {
        QString path;
        QString album;
        bool ended = false;
        QString output;
        std::shared_ptr<const MeasuredOutput> measured;
        Before before = Before::NotMeasured;
        LoudnessAnalysis beforeGain;
        Tags tags = Tags::Open;
        std::optional<QString> tagFailure;
    };

    //! Whether `row` is one that gets album tags once its album is whole.
    static bool getsTags(const Row& row) { return row.measured && row.measured->writeTags && !row.output.isEmpty(); }

    void tagAlbum(const QString& album);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<int, Row> m_rows;
    std::vector<std::thread> m_writers;
    std::function<void()> m_onSettled;
    RewriteFields m_rewrite;
};

} // namespace loudness
