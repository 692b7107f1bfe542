#pragma once

#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace convert {

//! The time a batch has left, worked out as the batch will spend it: the
//! rows converting now and those still to start, in their order, shared out
//! among the rows converted at once, each converting audio at the pace one
//! row has had over the last few seconds. Unequal files, and a long file
//! that ends the batch alone, then no longer make the estimate jump or run
//! short the way a count of rows or a rate of the whole batch does.
//!
//! The figure shown counts down as a clock does and only leans towards the
//! worked-out one: while the work goes on it never rises (a new file's
//! start, which converts nothing for a moment, only slows the count down),
//! it drops at once to a worked-out figure far below it, and it changes at
//! least every few seconds. The first figure waits until the worked-out one
//! holds still; when no audio at all was converted over the whole smoothing
//! window, nothing is shown until the work goes on again.
class TimeLeftEstimate {
public:
    //! A monotonic clock in milliseconds; tests give a clock of their own.
    using Clock = std::function<qint64()>;

    //! The pace is measured over this much of the latest work.
    static constexpr qint64 kWindowMs = 10000;

    explicit TimeLeftEstimate(Clock clock = {});

    //! Begins a batch of rows `rowSeconds` long (audio seconds, in the order
    //! they start), `atOnce` of them converting at a time.
    void start(std::vector<double> rowSeconds, int atOnce);

    //! Where the batch stands now: `doneSeconds` of its audio converted, the
    //! audio seconds each converting row has left, and how many of its rows
    //! have been started or passed over (the rest wait, in order).
    void update(double doneSeconds, const std::vector<double>& runningLeft, std::size_t rowsTaken);

    //! The whole seconds left, rounded up; nothing until the pace can be
    //! told (a second of work at least), nor while the work stands still.
    //! At least 1, so it never reads 0:00 while a row still converts.
    std::optional<qint64> secondsLeft() const;

private:
    struct Sample {
        qint64 atMs;
        double doneSeconds;
        int running; // rows converting since the sample before
    };

    //! Audio seconds one row converts in a second, over the samples kept;
    //! nothing before a second of work.
    std::optional<double> rowPace() const;
    //! The seconds until the last row ends at `pace`.
    double scheduled(double pace, const std::vector<double>& runningLeft, std::size_t rowsTaken) const;

    Clock m_clock;
    std::vector<double> m_rows;
    int m_atOnce = 1;
    std::deque<Sample> m_samples;  // the last few seconds of work, oldest first
    qint64 m_advancedAtMs = 0;     // when the work last went on
    std::optional<double> m_shown; // the figure shown, in seconds
    qint64 m_shownAtMs = 0;
    struct Target {
        qint64 atMs;
        double seconds;
    };
    std::optional<Target> m_target; // a worked-out figure before the first one shown
};

} // namespace convert
