#pragma once

// What the WAV and batch tests share: a folder of their own, the engine's
// format modules loaded, and a reader of the WAV headers they make.

#include "engine/AudioEngine.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace batchtest {

//! The fields of a 44-byte WAV header.
struct WavFields {
    QByteArray riff, wave, fmt, data;
    quint32 riffSize = 0, fmtSize = 0, sampleRate = 0, avgBytes = 0, dataSize = 0;
    quint16 formatTag = 0, channels = 0, blockAlign = 0, bits = 0;
};

inline WavFields wavFields(const QByteArray& file)
{
    WavFields f;
    if (file.size() < 44)
        return f;
    const char* p = file.constData();
    f.riff = file.mid(0, 4);
    f.riffSize = qFromLittleEndian<quint32>(p + 4);
    f.wave = file.mid(8, 4);
    f.fmt = file.mid(12, 4);
    f.fmtSize = qFromLittleEndian<quint32>(p + 16);
    f.formatTag = qFromLittleEndian<quint16>(p + 20);
    f.channels = qFromLittleEndian<quint16>(p + 22);
    f.sampleRate = qFromLittleEndian<quint32>(p + 24);
    f.avgBytes = qFromLittleEndian<quint32>(p + 28);
    f.blockAlign = qFromLittleEndian<quint16>(p + 32);
    f.bits = qFromLittleEndian<quint16>(p + 34);
    f.data = file.mid(36, 4);
    f.dataSize = qFromLittleEndian<quint32>(p + 40);
    return f;
}

} // namespace batchtest
