#include "engine/WmaEncoder.h"

#include "engine/Bass.h"

#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
}

namespace engine {

std::unique_ptr<WmaEncoder> WmaEncoder::open(int rate, int channels, int bitrate, const std::string& path,
                                             int* errorCode)
{
    auto setError = [errorCode](int code) {
        if (errorCode)
            *errorCode = code;
        return nullptr;
    };
    std::unique_ptr<WmaEncoder> encoder(new WmaEncoder);
    if (avformat_alloc_output_context2(&encoder->m_format, nullptr, "asf", nullptr) < 0 || !encoder->m_format)
        return setError(BASS_ERROR_MEM);
    const bool globalHeader = (encoder->m_format->oformat->flags & AVFMT_GLOBALHEADER) != 0;
    encoder->m_codec = openWmaCodec(rate, channels, bitrate, globalHeader);
    if (!encoder->m_codec)
        return setError(BASS_ERROR_FORMAT);
    encoder->m_channels = channels;
    encoder->m_frame = makeWmaFrame(*encoder->m_codec);
    encoder->m_packet.reset(av_packet_alloc());
    encoder->m_stream = avformat_new_stream(encoder->m_format, nullptr);
    if (!encoder->m_frame || !encoder->m_packet || !encoder->m_stream ||
        avcodec_parameters_from_context(encoder->m_stream->codecpar, encoder->m_codec.get()) < 0)
        return setError(BASS_ERROR_MEM);
    encoder->m_stream->time_base = AVRational{1, rate};

    // The "file:" prefix keeps a name such as "a:b.wma" from being read as a
    // network protocol.
    const std::string url = "file:" + path;
    if (avio_open(&encoder->m_format->pb, url.c_str(), AVIO_FLAG_WRITE) < 0)
        return setError(BASS_ERROR_CREATE);
    return encoder;
}

WmaEncoder::~WmaEncoder()
{
    if (m_format) {
        if (m_format->pb)
            avio_closep(&m_format->pb);
        avformat_free_context(m_format);
    }
}

bool WmaEncoder::fail(int code)
{
    m_failed = true;
    m_errorCode = code;
    return false;
}

bool WmaEncoder::outputFailed()
{
    // The file layer keeps its first write error: a full disk shows here.
    if (!m_format->pb || m_format->pb->error >= 0)
        return false;
    if (m_systemError == 0)
        m_systemError = AVUNERROR(m_format->pb->error);
    return true;
}

bool WmaEncoder::setTag(const std::string& name, const std::string& value)
{
    if (m_headerWritten || m_closed)
        return false;
    return av_dict_set(&m_format->metadata, name.c_str(), value.c_str(), 0) >= 0;
}

bool WmaEncoder::endTags()
{
    if (m_headerWritten)
        return !m_failed;
    m_headerWritten = true;
    if (avformat_write_header(m_format, nullptr) < 0 || outputFailed())
        return fail(BASS_ERROR_CREATE);
    return true;
}

bool WmaEncoder::write(const char* data, std::int64_t bytes)
{
    if (m_closed || m_failed)
        return false;
    if (!endTags())
        return false;
    if (bytes <= 0)
        return true;
    if (m_hasOddByte) {
        // Complete the sample whose first byte came with the last call.
        const char pair[2] = {m_oddByte, *data};
        std::int16_t sample;
        std::memcpy(&sample, pair, 2);
        m_pending.push_back(sample);
        m_hasOddByte = false;
        ++data;
        --bytes;
    }
    const auto samples = static_cast<std::size_t>(bytes / 2);
    if (samples > 0) {
        const std::size_t at = m_pending.size();
        m_pending.resize(at + samples);
        std::memcpy(m_pending.data() + at, data, samples * 2);
    }
    if (bytes % 2 == 1) {
        m_hasOddByte = true;
        m_oddByte = data[bytes - 1];
    }
    return encodeFrames(false);
}

bool WmaEncoder::encodeFrames(bool final)
{
    const int frameSize = m_codec->frame_size;
    const std::size_t frameSamples = static_cast<std::size_t>(frameSize) * static_cast<std::size_t>(m_channels);
    std::size_t used = 0;
    while (m_pending.size() - used >= frameSamples || (final && m_pending.size() - used >= std::size_t(m_channels))) {
        const int frames = static_cast<int>(std::min(m_pending.size() - used, frameSamples)) / m_channels;
        if (!fillWmaFrame(*m_frame, m_pending.data() + used, frames, m_channels))
            return fail(BASS_ERROR_MEM);
        m_frame->pts = m_samplesSent;
        m_samplesSent += frameSize;
        used += static_cast<std::size_t>(frames) * static_cast<std::size_t>(m_channels);
        if (avcodec_send_frame(m_codec.get(), m_frame.get()) < 0 || !drainPackets())
            return fail(m_errorCode ? m_errorCode : BASS_ERROR_UNKNOWN);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
    return true;
}

bool WmaEncoder::drainPackets()
{
    for (;;) {
        const int rc = avcodec_receive_packet(m_codec.get(), m_packet.get());
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return false;
        av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        if (av_interleaved_write_frame(m_format, m_packet.get()) < 0 || outputFailed()) {
            outputFailed();
            m_errorCode = BASS_ERROR_CREATE;
            return false;
        }
    }
}

bool WmaEncoder::close()
{
    if (m_closed)
        return !m_failed;
    bool ok = !m_failed && endTags() && encodeFrames(true);
    if (ok) {
        ok = avcodec_send_frame(m_codec.get(), nullptr) >= 0 && drainPackets();
        ok = av_write_trailer(m_format) >= 0 && ok;
    }
    m_closed = true;
    if (m_format->pb) {
        avio_flush(m_format->pb);
        if (outputFailed())
            ok = false;
    }
    if (avio_closep(&m_format->pb) < 0)
        ok = false;
    if (!ok && !m_failed)
        fail(m_errorCode ? m_errorCode : BASS_ERROR_CREATE);
    return ok;
}

} // namespace engine
