#pragma once

// Small owning wrappers over FFmpeg's codec objects.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace engine {

struct AvCodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct AvFrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct AvPacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextDeleter>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameDeleter>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketDeleter>;

} // namespace engine
