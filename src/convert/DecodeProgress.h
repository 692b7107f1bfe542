#pragma once

#include "engine/Bass.h"
#include "filelist/RowState.h"

#include <QString>

namespace convert {

class ConversionSession;

//! Follows the decoding of a conversion stream chunk by chunk: reports the
//! position into the row, and keeps what the damage check at the end needs
//! (the length the stream stated before its end made it the bytes decoded,
//! and the last position).
class DecodeProgress {
public:
    explicit DecodeProgress(HSTREAM stream) : m_stream(stream) {}

    //! Reads the stream's length and position after a chunk and reports them
    //! (see ConversionSession::reportProgress); false when no progress can be
    //! computed, which the caller treats as a failure.
    bool report(ConversionSession& session);

    //! Where the input's damage began, empty when it was whole (see
    //! InputDamageReason); asked once the stream has reached its end.
    filelist::RowReason damage() const;
    //! The seconds of audio decoded at the last report.
    double seconds() const;

private:
    HSTREAM m_stream;
    QWORD m_statedLength = QWORD(-1);
    QWORD m_position = 0;
};

} // namespace convert
