#pragma once

#include <QString>
#include <QStringList>

namespace bench {

//! A stereo 44.1 kHz input for a benchmark, made once with ffmpeg: a signal
//! mixed with soft noise, so that encoders (lossless ones too) have real work.
struct TestTone {
    enum class Signal {
        Sweep, //!< two slowly bending tones (one a channel) with pink noise
        Sine,  //!< a sine at `frequency` with white noise
    };

    QString path; //!< its extension chooses the container
    int seconds = 60;
    Signal signal = Signal::Sine;
    int frequency = 440;
    QStringList codecOptions; //!< ffmpeg output options, such as "-c:a libmp3lame"

    //! Makes the file unless it is already there (it is written under a
    //! temporary name and renamed when complete, so a cut-off run leaves no
    //! half file). Returns the path, or an empty text when ffmpeg failed.
    QString make() const;
};

} // namespace bench
