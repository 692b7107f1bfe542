#pragma once

#include <atomic>

namespace convert {

//! The state of a conversion batch that the window and the batch share:
//! set while a batch runs, and the request to stop it. Conversions on worker
//! threads read both, so they are atomic.
struct ConversionState {
    std::atomic<bool> bConverting = false;
    std::atomic<bool> bCancelConversion = false;
};

} // namespace convert
