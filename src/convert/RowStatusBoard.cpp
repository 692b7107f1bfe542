#include "convert/RowStatusBoard.h"

namespace convert {

void RowStatusBoard::post(int row, const Update& update)
{
    std::lock_guard lock(m_mutex);
    Update& pending = m_pending[row];
    if (update.outcome) {
        // A final status replaces any progress text still waiting.
        pending.outcome = update.outcome;
        pending.text.reset();
        pending.percent.reset();
        pending.color.reset();
    }
    if (update.text) {
        pending.text = update.text;
        pending.percent = update.percent;
        pending.color = update.color;
        pending.outcome.reset();
    }
    if (update.reason)
        pending.reason = update.reason;
    if (update.loudness)
        pending.loudness = update.loudness;
}

std::map<int, RowStatusBoard::Update> RowStatusBoard::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_pending, {});
}

} // namespace convert
