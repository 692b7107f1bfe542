#include "convert/WavHeader.h"

#include <QtEndian>

namespace convert {

namespace {

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

void WavHeader::fillDerived()
{
    blockAlign = quint16(channels * bitsPerSample / 8);
    avgBytesPerSec = quint32(blockAlign) * sampleRate;
}

QByteArray WavHeader::bytes() const
{
    QByteArray out;
    out.reserve(kSize);
    out.append("RIFF", 4);
    put32(out, riffSize);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    put32(out, 16);
    put16(out, formatTag);
    put16(out, channels);
    put32(out, sampleRate);
    put32(out, avgBytesPerSec);
    put16(out, blockAlign);
    put16(out, bitsPerSample);
    out.append("data", 4);
    put32(out, dataSize);
    return out;
}

QByteArray WavHeader::sizeField(quint32 value)
{
    QByteArray out;
    put32(out, value);
    return out;
}

} // namespace convert
