#pragma once

#include <QString>

namespace filelist {

//! The loudness measured of a row's output: integrated loudness in LUFS and
//! true peak in dBTP (-infinity for silence).
struct MeasuredLoudness {
    double integrated = 0;
    double truePeak = 0;

    //! "-14.23 LUFS, -0.31 dBTP", the same in every language (the command
    //! line's field); "-inf" for silence.
    QString text() const;
    //! The line of the status cell's tooltip, in the current language.
    QString tooltip() const;

    bool operator==(const MeasuredLoudness&) const = default;
};

} // namespace filelist
