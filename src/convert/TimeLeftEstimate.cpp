#include "convert/TimeLeftEstimate.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <memory>

namespace convert {

namespace {

// Less work than this says too little about the rest.
constexpr qint64 kLeastMs = 1000;
// How quickly the figure shown leans towards the measured one: a difference
// of this many seconds makes it count twice as fast (or stand still)...
constexpr double kSettleSeconds = 5;
// ... within these bounds: it never stands still for more than a few
// seconds, and never drops so fast that it reads as a jump.
constexpr double kSlowestPace = 0.25;
constexpr double kFastestPace = 4;

TimeLeftEstimate::Clock steadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

TimeLeftEstimate::TimeLeftEstimate(Clock clock) : m_clock(clock ? std::move(clock) : steadyClock()) {}

void TimeLeftEstimate::start(double totalSeconds)
{
    m_total = std::max(0.0, totalSeconds);
    m_samples.clear();
    m_advancedAtMs = m_clock();
    m_samples.push_back({m_advancedAtMs, 0});
    m_shown.reset();
}

void TimeLeftEstimate::removeFromTotal(double seconds)
{
    m_total = std::max(0.0, m_total - std::max(0.0, seconds));
}

void TimeLeftEstimate::update(double doneSeconds)
{
    const qint64 now = m_clock();
    const double before = m_samples.empty() ? 0.0 : m_samples.back().doneSeconds;
    const double done = std::max(doneSeconds, before);
    if (done <= 0) {
        // Opening the first files is no measure of the work: the window
        // begins where the work does.
        m_samples.assign(1, {now, 0});
        m_advancedAtMs = now;
        return;
    }
    if (done > before)
        m_advancedAtMs = now;
    m_samples.push_back({now, done});
    // Keep one sample at or before the window's start, so the window is full.
    while (m_samples.size() > 2 && now - m_samples[1].atMs >= kWindowMs)
        m_samples.pop_front();

    if (now - m_advancedAtMs >= kWindowMs) {
        m_shown.reset(); // nothing converted for a whole window: no figure to give
        return;
    }
    const std::optional<double> target = measured();
    if (!target)
        return;
    if (!m_shown) {
        m_shown = *target;
    } else {
        // Count down as a clock, faster while the measure is below, slower
        // while it is above: never up.
        const double pace = std::clamp(1 + (*m_shown - *target) / kSettleSeconds, kSlowestPace, kFastestPace);
        m_shown = std::max(0.0, *m_shown - pace * double(now - m_shownAtMs) / 1000.0);
    }
    m_shownAtMs = now;
}

std::optional<double> TimeLeftEstimate::measured() const
{
    if (m_samples.size() < 2)
        return std::nullopt;
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const qint64 spanMs = last.atMs - first.atMs;
    const double converted = last.doneSeconds - first.doneSeconds;
    if (spanMs < kLeastMs || converted <= 0)
        return std::nullopt;
    // Lengths are known only as well as the inputs state them: the last
    // rows may run a little past the total.
    const double left = std::max(0.0, m_total - last.doneSeconds);
    const double rate = converted / (double(spanMs) / 1000.0); // audio seconds per second
    return left / rate;
}

std::optional<qint64> TimeLeftEstimate::secondsLeft() const
{
    if (!m_shown)
        return std::nullopt;
    return std::max<qint64>(1, qint64(std::ceil(*m_shown)));
}

} // namespace convert
