#pragma once

#include "engine/Bass.h"
#include "engine/FfmpegEncoder.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace engine {

//! The open file encoders (WMA, FLAC, Opus, AAC) by their handles, apart
//! from channel handles and never reused.
class FileEncoderTable {
public:
    static FileEncoderTable& global();

    DWORD add(std::shared_ptr<FfmpegEncoder> encoder);
    //! Opens an encoder for `wanted` writing `file` and adds it; sets the
    //! engine's last error either way, and gives 0 when it cannot be opened.
    DWORD open(const EncoderRequest& wanted, const char* file);
    std::shared_ptr<FfmpegEncoder> find(DWORD handle);
    //! Removes the encoder from the table and hands it over.
    std::shared_ptr<FfmpegEncoder> take(DWORD handle);

private:
    std::mutex m_mutex;
    DWORD m_next = 0x40000000;
    std::unordered_map<DWORD, std::shared_ptr<FfmpegEncoder>> m_encoders;
};

} // namespace engine
