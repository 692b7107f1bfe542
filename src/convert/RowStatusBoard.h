#pragma once

#include "filelist/MeasuredLoudness.h"

#include <QString>
#include <QtGlobal>
#include <map>
#include <mutex>
#include <optional>

namespace convert {

//! What conversions on worker threads have to say about their rows, kept
//! until the user-interface thread applies it to the list. Writes to the same
//! row merge: only the latest progress reaches the grid, however many a
//! worker posts between two paints, so painting never holds a conversion up.
class RowStatusBoard {
public:
    enum class Outcome { Complete, Cancelled, Error };

    //! One row's pending change; fields left empty keep what the row shows.
    struct Update {
        std::optional<QString> text;    //!< a status text shown as it is (a progress percentage, "Error")
        std::optional<float> percent;   //!< the progress `text` stands for, when it is one
        std::optional<quint32> color;   //!< the text colour that goes with `text`, as 0xRRGGBB
        std::optional<Outcome> outcome; //!< a final status, worded in the language shown when applied
        std::optional<QString> reason;  //!< the status cell's tooltip
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
