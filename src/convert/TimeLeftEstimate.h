#pragma once

#include <QtGlobal>
#include <deque>
#include <functional>
#include <optional>

namespace convert {

//! The time a batch has left: the audio seconds still to convert against
//! the rate at which audio has been converted over the last few seconds, by
//! all running rows together. Unequal files and rows running side by side
//! then no longer make the estimate jump the way a count of rows does.
//!
//! The figure shown counts down as a clock does and only leans towards the
//! measured one: while the work goes on it never rises (a new file's start,
//! which converts nothing for a moment, only slows the count down), and it
//! changes at least every few seconds. When no audio at all was converted
//! over the whole smoothing window, nothing is shown until the work goes on.
class TimeLeftEstimate {
public:
    //! A monotonic clock in milliseconds; tests give a clock of their own.
    using Clock = std::function<qint64()>;

    //! The rate is measured over this much of the latest work.
    static constexpr qint64 kWindowMs = 10000;

    explicit TimeLeftEstimate(Clock clock = {});

    //! Begins a batch of `totalSeconds` of audio.
    void start(double totalSeconds);
    //! Takes `seconds` of audio out of the batch: rows it will not convert.
    void removeFromTotal(double seconds);
    //! Records that `doneSeconds` of the batch's audio are converted now.
    void update(double doneSeconds);

    //! The whole seconds left, rounded up; nothing until the rate can be
    //! told (a second of work at least), nor while the work stands still.
    //! At least 1, so it never reads 0:00 while a row still converts.
    std::optional<qint64> secondsLeft() const;

private:
    struct Sample {
        qint64 atMs;
        double doneSeconds;
    };

    //! The seconds left at the rate of the samples kept; nothing before a
    //! second of work.
    std::optional<double> measured() const;

    Clock m_clock;
    double m_total = 0;
    std::deque<Sample> m_samples;  // the last few seconds of work, oldest first
    qint64 m_advancedAtMs = 0;     // when the work last went on
    std::optional<double> m_shown; // the figure shown, in seconds
    qint64 m_shownAtMs = 0;
};

} // namespace convert
