#pragma once

#include "engine/WmaCodec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVStream;

namespace engine {

//! Writes 16-bit interleaved PCM as Windows Media Audio 2 into an ASF file.
//! Tags go into the file header, so they can only be set before the first
//! audio is written (or before endTags()).
class WmaEncoder {
public:
    //! Creates `path` (UTF-8; an existing file is truncated) for the given
    //! format and bit rate. Returns nullptr and sets `errorCode` to
    //! BASS_ERROR_FORMAT (format or bit rate refused by the encoder) or
    //! BASS_ERROR_CREATE (the file cannot be created).
    static std::unique_ptr<WmaEncoder> open(int rate, int channels, int bitrate, const std::string& path,
                                            int* errorCode);
    ~WmaEncoder();

    WmaEncoder(const WmaEncoder&) = delete;
    WmaEncoder& operator=(const WmaEncoder&) = delete;

    //! Sets a tag by its ASF attribute name ("Title", "Author", "WM/Year", …).
    //! False once the header was written.
    bool setTag(const std::string& name, const std::string& value);
    bool tagsOpen() const { return !m_headerWritten; }

    //! Ends the tags: writes the file header.
    bool endTags();

    //! Encodes any number of bytes; a sample split between calls is kept.
    bool write(const char* data, std::int64_t bytes);

    //! Encodes what is left, writes the trailer and closes the file. The last
    //! frame is completed with silence (the encoder works in whole frames).
    bool close();

    int errorCode() const { return m_errorCode; }
    //! The system's error number when writing the file failed (ENOSPC, EIO…), else 0.
    int systemError() const { return m_systemError; }

private:
    WmaEncoder() = default;
    bool encodeFrames(bool final);
    bool drainPackets();
    bool fail(int code);
    bool outputFailed();

    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AvCodecContextPtr m_codec;
    AvFramePtr m_frame;
    AvPacketPtr m_packet;
    int m_channels = 0;
    std::vector<std::int16_t> m_pending; // interleaved samples not yet encoded
    bool m_hasOddByte = false;           // half a sample carried over from the last write
    char m_oddByte = 0;
    std::int64_t m_samplesSent = 0; // per channel
    bool m_headerWritten = false;
    bool m_closed = false;
    bool m_failed = false;
    int m_errorCode = 0;
    int m_systemError = 0;
};

//! The system's error number (ENOSPC, EIO…) behind the calling thread's last
//! BASS_WMA_EncodeWrite or BASS_WMA_EncodeClose, 0 when writing the file did
//! not fail.
int lastWmaSystemError();

} // namespace engine
