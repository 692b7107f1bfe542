#pragma once

#include "engine/Bass.h"

#include <QString>
#include <QStringList>

namespace platform {
class Desktop;
}

namespace engine {

//! Starts the engine on the default output, loads the fourteen format modules
//! in order and fills WMATagNames. On an initialisation failure other than
//! "already initialised" it shows the fixed message box and returns false:
//! the caller must then end the process without saving anything.
bool InitAudioEngine(platform::Desktop& desktop);

//! Starts the engine for decoding and encoding only, with no output device (a
//! headless machine may have none), then loads the format modules: the start-up
//! of the command line, benchmarks and tests. False only when the engine
//! refuses to start at all.
bool InitDecodingEngine();

//! Loads the fourteen format modules in order and fills WMATagNames: the part
//! of start-up shared by every front end.
void LoadFormatModules();

//! The message box InitAudioEngine shows when the engine fails to start with
//! `code`. `fatal` is false only for "already initialised", after which
//! start-up goes on.
struct InitFailureBox {
    QString text;
    QString title;
    bool fatal = true;
};
InitFailureBox InitFailureMessage(int code);

//! The fourteen format module names, in load order.
const QStringList& FormatModuleNames();

//! The eight WMA tag names, filled by InitAudioEngine.
extern QStringList WMATagNames;

//! Opens a file as a stream. Only files can be opened this way: fromMemory
//! true is refused (BASS_ERROR_ILLPARAM), as no memory would outlive the call.
HSTREAM OpenStream(bool fromMemory, const QString& file, DWORD offset, DWORD length, DWORD flags);

//! Opens a tracker module.
HMUSIC OpenMusic(bool fromMemory, const QString& file, DWORD offset, DWORD length, DWORD flags, DWORD freq);

//! Seconds of `position` bytes of the channel's data.
double ChannelSeconds(DWORD handle, DWORD position);

//! Fixed English text of an engine error code; empty for unknown codes.
QString BassErrorText(int code);

} // namespace engine
