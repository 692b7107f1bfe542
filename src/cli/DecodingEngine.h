#pragma once

namespace cli {

//! Starts the engine for the command line: decoding and encoding only, with
//! no output device (a headless machine may have none), then loads the
//! format modules in order and fills WMATagNames as the window's start-up
//! does. False only when the engine refuses to start at all.
bool InitDecodingEngine();

} // namespace cli
