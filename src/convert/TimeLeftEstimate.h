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
class TimeLeftEstimate {
public:
    //! A monotonic clock in milliseconds; tests give a clock of their own.
    using Clock = std::function<qint64()>;

    explicit TimeLeftEstimate(Clock clock = {});

    //! Begins a batch of `totalSeconds` of audio.
    void start(double totalSeconds);
    //! Takes `seconds` of audio out of the batch: rows it will not convert.
    void removeFromTotal(double seconds);
    //! Records that `doneSeconds` of the batch's audio are converted now.
    void update(double doneSeconds);

    //! The whole seconds left, rounded up; nothing until the rate can be
    //! told (a second of work at least). At least 1, so it never reads 0:00
    //! while a row still converts.
    std::optional<qint64> secondsLeft() const;

private:
    struct Sample {
        qint64 atMs;
        double doneSeconds;
    };

    Clock m_clock;
    double m_total = 0;
    std::deque<Sample> m_samples; // the last few seconds of progress, oldest first
};

} // namespace convert
