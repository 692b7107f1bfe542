#pragma once

#include <QAudioDevice>

namespace engine {

//! The output a BASS_Init device number stands for (see Playback.h), or the
//! error code why there is none. Needs a QCoreApplication.
struct PlaybackDeviceChoice {
    QAudioDevice device;
    int error = 0;
};
PlaybackDeviceChoice choosePlaybackDevice(int device);

} // namespace engine
