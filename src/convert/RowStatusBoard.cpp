#include "convert/RowStatusBoard.h"

namespace convert {

void RowStatusBoard::post(int row, const Update& update)
{
    std::lock_guard lock(m_mutex);
    Update& pending = m_pending[row];
    if (update.state) {
        // A final state replaces any progress still waiting.
        pending.state = update.state;
        pending.percent.reset();
    }
    if (update.percent && !pending.state)
        pending.percent = update.percent;
    if (update.reason)
        pending.reason = update.reason;
    if (update.output)
        pending.output = update.output;
    if (update.loudness)
        pending.loudness = update.loudness;
}

std::map<int, RowStatusBoard::Update> RowStatusBoard::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_pending, {});
}

} // namespace convert
