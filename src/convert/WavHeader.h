#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace convert {

//! The 44-byte header of an integer PCM WAV file: "RIFF", the RIFF size,
//! "WAVE", a 16-byte "fmt " chunk and the "data" chunk's size. Both sizes are
//! 0 until the data has been written.
struct WavHeader {
    static constexpr int kSize = 44;

    quint16 formatTag = 1; // integer PCM
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 avgBytesPerSec = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 16;
    quint32 riffSize = 0;
    quint32 dataSize = 0;

    //! Block align and average bytes per second from channels, bits and rate.
    void fillDerived();

    //! The header as written at the start of the file, little-endian.
    QByteArray bytes() const;

    //! A 32-bit size field, little-endian.
    static QByteArray sizeField(quint32 value);
};

} // namespace convert
