#include "convert/TimeLeftEstimate.h"

#include <QElapsedTimer>
#include <cmath>
#include <memory>

namespace convert {

namespace {

// The rate is measured over this much of the latest work: long enough to
// smooth the chunks of the encoders, short enough to follow a change of pace
// (a fast file after a slow one, a row more running).
constexpr qint64 kWindowMs = 10000;
// Less work than this says too little about the rest.
constexpr qint64 kLeastMs = 1000;

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
    m_samples.push_back({m_clock(), 0});
}

void TimeLeftEstimate::removeFromTotal(double seconds)
{
    m_total = std::max(0.0, m_total - std::max(0.0, seconds));
}

void TimeLeftEstimate::update(double doneSeconds)
{
    const qint64 now = m_clock();
    m_samples.push_back({now, std::max(doneSeconds, m_samples.empty() ? 0.0 : m_samples.back().doneSeconds)});
    // Keep one sample at or before the window's start, so the window is full.
    while (m_samples.size() > 2 && now - m_samples[1].atMs >= kWindowMs)
        m_samples.pop_front();
}

std::optional<qint64> TimeLeftEstimate::secondsLeft() const
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
    return std::max<qint64>(1, qint64(std::ceil(left / rate)));
}

} // namespace convert
