#pragma once

#include "convert/ConversionSession.h"
#include "filelist/FileList.h"
#include "options/FormatOptions.h"
#include "support/BenchDesktop.h"

#include <memory>

namespace bench {

//! A conversion session of its own, for timing the conversion functions one
//! file at a time: a desktop that answers every box, the options' defaults,
//! an empty file list and the state of a running batch.
struct BenchSession {
    BenchSession() { state.bConverting = true; }
    BenchSession(const BenchSession&) = delete;
    BenchSession& operator=(const BenchSession&) = delete;

    BenchDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    std::unique_ptr<filelist::FileList> list = std::make_unique<filelist::FileList>();
    convert::ConversionSession session{desktop, state, options, [this] { return list.get(); }};
};

} // namespace bench
