#include "convert/TimeLeftEstimate.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <queue>

namespace convert {

namespace {

// Less work than this says too little about the rest.
constexpr qint64 kLeastMs = 1000;
// How quickly the figure shown leans towards the worked-out one: a
// difference of this many seconds makes it count twice as fast (or stand
// still)...
constexpr double kSettleSeconds = 5;
// ... within these bounds: it never stands still for more than a few
// seconds, and never drops so fast that it reads as a jump...
constexpr double kSlowestPace = 0.25;
constexpr double kFastestPace = 4;
// ... unless it is this far above the worked-out figure: then it drops to it
// at once, as a figure that was far too high is better forgotten.
constexpr double kFarAbove = 1.25;
// The first figure waits for the worked-out one to hold still: to count
// down by the time passed, give or take this share of itself.
constexpr double kSteadyShare = 0.2;

TimeLeftEstimate::Clock steadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

TimeLeftEstimate::TimeLeftEstimate(Clock clock) : m_clock(clock ? std::move(clock) : steadyClock()) {}

void TimeLeftEstimate::start(std::vector<double> rowSeconds, int atOnce)
{
    m_rows = std::move(rowSeconds);
    m_atOnce = std::max(1, atOnce);
    m_samples.clear();
    m_advancedAtMs = m_clock();
    m_samples.push_back({m_advancedAtMs, 0, 0});
    m_shown.reset();
    m_target.reset();
}

void TimeLeftEstimate::update(double doneSeconds, const std::vector<double>& runningLeft, std::size_t rowsTaken)
{
    const qint64 now = m_clock();
    const double before = m_samples.empty() ? 0.0 : m_samples.back().doneSeconds;
    const double done = std::max(doneSeconds, before);
    const int running = int(runningLeft.size());
    if (done <= 0) {
        // Opening the first files is no measure of the work: the window
        // begins where the work does.
        m_samples.assign(1, {now, 0, running});
        m_advancedAtMs = now;
        return;
    }
    if (done > before)
        m_advancedAtMs = now;
    m_samples.push_back({now, done, running});
    // Keep one sample at or before the window's start, so the window is full.
    while (m_samples.size() > 2 && now - m_samples[1].atMs >= kWindowMs)
        m_samples.pop_front();

    if (now - m_advancedAtMs >= kWindowMs) {
        // Nothing converted for a whole window: no figure to give.
        m_shown.reset();
        m_target.reset();
        return;
    }
    const std::optional<double> pace = rowPace();
    if (!pace)
        return;
    const double target = scheduled(*pace, runningLeft, rowsTaken);
    if (!m_shown) {
        // The first rows' start says little of their pace: the first
        // figure comes once the worked-out one counts down as a clock does.
        const bool steady =
            m_target && now - m_target->atMs >= kLeastMs &&
            std::abs(m_target->seconds - double(now - m_target->atMs) / 1000.0 - target) <= kSteadyShare * target;
        if (!m_target || now - m_target->atMs >= kLeastMs)
            m_target = Target{now, target};
        if (!steady)
            return;
        m_shown = target;
    } else if (*m_shown > kFarAbove * target) {
        m_shown = target;
    } else {
        // Count down as a clock, faster while the worked-out figure is
        // below, slower while it is above: never up.
        const double step = std::clamp(1 + (*m_shown - target) / kSettleSeconds, kSlowestPace, kFastestPace);
        m_shown = std::max(0.0, *m_shown - step * double(now - m_shownAtMs) / 1000.0);
    }
    m_shownAtMs = now;
}

std::optional<double> TimeLeftEstimate::rowPace() const
{
    if (m_samples.size() < 2)
        return std::nullopt;
    const qint64 spanMs = m_samples.back().atMs - m_samples.front().atMs;
    const double converted = m_samples.back().doneSeconds - m_samples.front().doneSeconds;
    // Row-seconds: how long each row converted, added up.
    double rowMs = 0;
    for (std::size_t i = 1; i < m_samples.size(); ++i)
        rowMs += double(m_samples[i].running) * double(m_samples[i].atMs - m_samples[i - 1].atMs);
    if (spanMs < kLeastMs || converted <= 0 || rowMs <= 0)
        return std::nullopt;
    return converted / (rowMs / 1000.0);
}

double TimeLeftEstimate::scheduled(double pace, const std::vector<double>& runningLeft, std::size_t rowsTaken) const
{
    // When each of the rows converted at once is next free, soonest first.
    std::priority_queue<double, std::vector<double>, std::greater<>> free;
    for (const double left : runningLeft)
        free.push(std::max(0.0, left) / pace);
    while (int(free.size()) < m_atOnce)
        free.push(0);
    double last = 0;
    for (std::size_t row = rowsTaken; row < m_rows.size(); ++row) {
        const double startsAt = free.top();
        free.pop();
        free.push(startsAt + std::max(0.0, m_rows[row]) / pace);
    }
    while (!free.empty()) {
        last = std::max(last, free.top());
        free.pop();
    }
    return last;
}

std::optional<qint64> TimeLeftEstimate::secondsLeft() const
{
    if (!m_shown)
        return std::nullopt;
    return std::max<qint64>(1, qint64(std::ceil(*m_shown)));
}

} // namespace convert
