#pragma once

#include <QByteArray>

namespace engine {

//! Names the program to the sound server (PulseAudio, or PipeWire's
//! PulseAudio service) as the desktop's sound settings list it: `name` with
//! the icon `iconName` of the icon theme, instead of the name the audio
//! library makes up ("QtPulseAudio:<pid>"). It sets the client properties
//! the sound server's library reads from the environment when the program
//! connects, so it must run before playback starts; properties the user has
//! set in the environment are kept.
void NameSoundServerClient(const QByteArray& name, const QByteArray& iconName);

} // namespace engine
