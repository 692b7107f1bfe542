#pragma once

#include "filelist/MeasuredLoudness.h"
#include "filelist/RowState.h"

#include <QString>
#include <map>
#include <mutex>
#include <optional>

namespace convert {

//! What conversions on worker threads have to say about their rows, kept
//! until the user-interface thread applies it to the list. Writes to the same
//! row merge: only the latest progress reaches the grid, however many a
//! worker posts between two paints, so painting never holds a conversion up.
//! Workers post codes and numbers only; the words are chosen where they are
//! shown. Both sides go through one mutex, which the thread checker sees.
class RowStatusBoard {
public:
    //! One row's pending change; fields left empty keep what the row shows.
    struct Update {
        std::optional<float> percent;                       //!< progress while converting
        std::optional<filelist::RowState> state;            //!< a final state
        std::optional<filelist::RowReason> reason;          //!< why it ended so
        std::optional<QString> output;                      //!< the file the row kept
        std::optional<filelist::MeasuredLoudness> loudness; //!< the output's loudness, shown with the tooltip
    };

    //! Merges `update` into what is pending for `row`.
    void post(int row, const Update& update);
    //! Everything pending, by row, leaving the board empty.
    std::map<int, Update> take();

private:
    std::mutex m_mutex;
    std::map<int, Update> m_pending;
};

} // namespace convert
