#include "convert/ConvertToWAV.h"

#include "convert/CarryTags.h"
#include "convert/ConversionSession.h"
#include "convert/WavHeader.h"
#include "engine/AudioEngine.h"

#include <QFile>
#include <cmath>
#include <vector>

namespace {

constexpr DWORD kChunkBytes = 20000;

// Largest data size whose RIFF size (data + 36) still fits a signed 32-bit field.
constexpr qint64 kMaxDataBytes = 2147483603;

bool writeAll(QFile& file, const char* data, qint64 bytes)
{
    return file.write(data, bytes) == bytes;
}

} // namespace

void ConvertToWAV(ConversionSession& session, const QString& origfile, const QString& outFile)
{
    using Outcome = ConversionSession::Outcome;

    session.releaseConversionStream();
    session.hConvertStream = OpenStream(false, origfile, 0, 0, BASS_STREAM_DECODE);
    const HSTREAM stream = session.hConvertStream;
    if (stream == 0) {
        session.setOutcome(Outcome::Error); // nothing to write: no file is made
        return;
    }

    QFile file(outFile);
    auto fail = [&] {
        session.setOutcome(Outcome::Error);
        session.freeConversionStream();
        file.close(); // a file already made keeps both sizes at 0
    };

    BASS_CHANNELINFO info;
    float rate = 0;
    if (!BASS_ChannelGetInfo(stream, &info) || !BASS_ChannelGetAttribute(stream, BASS_ATTRIB_FREQ, &rate)) {
        fail();
        return;
    }
    session.channelInfo = info;

    // The header states the channels the engine delivers, so header and data
    // always agree (also for more than two channels).
    WavHeader header;
    header.channels = quint16(info.chans);
    header.sampleRate = quint32(std::lround(rate));
    header.bitsPerSample = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    header.fillDerived();

    // NewOnly: an existing file is never overwritten, not even one made after
    // the output name was chosen.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fail();
        return;
    }
    const QByteArray bytes = header.bytes();
    if (!writeAll(file, bytes.constData(), 12) || !writeAll(file, bytes.constData() + 12, 24) ||
        !writeAll(file, bytes.constData() + 36, 8)) {
        fail();
        return;
    }

    const QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    std::vector<char> buffer(kChunkBytes);
    qint64 written = 0;
    bool complete = false;
    for (;;) {
        if (BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED) {
            session.setOutcome(Outcome::Complete);
            complete = true;
            break;
        }
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), kChunkBytes);
        if (got == DWORD(-1) || written + qint64(got) > kMaxDataBytes || !writeAll(file, buffer.data(), got)) {
            fail();
            return;
        }
        written += got;
        const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
        if (!session.reportProgress(position, length)) {
            fail();
            return;
        }
        session.yield();
        if (session.cancelRequested()) {
            session.setOutcome(Outcome::Cancelled);
            break;
        }
    }
    session.freeConversionStream();

    // The sizes describe the bytes really in the file, so a stopped
    // conversion leaves a valid, shorter WAV.
    const QByteArray sizes = WavHeader::sizeField(quint32(written + WavHeader::kSize - 8));
    const QByteArray dataSize = WavHeader::sizeField(quint32(written));
    if (file.seek(4))
        file.write(sizes);
    if (file.seek(40))
        file.write(dataSize);
    file.close();
    if (complete)
        convert::CarryTags(session.options(), origfile, outFile, convert::TagFormat::Wav);
}
