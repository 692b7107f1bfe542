#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace bench {

//! The batch of the one-hour benchmarks: this many files of this many seconds.
constexpr int kOneHourFiles = 20;
constexpr int kOneHourSecondsEach = 180;

//! Makes the one-hour batch once in `folder` (in00.flac, in01.mp3, in02.ogg,
//! … FLAC, MP3 and Ogg in turn, each a tone of its own with soft noise) and
//! returns its paths. `finish`, when given, completes each new file (tags it,
//! say) before the file gets its final name, so only a finished file has it.
//! Empty when a file could not be made.
QStringList oneHourBatch(const QString& folder, const std::function<bool(const QString& file, int index)>& finish = {});

} // namespace bench
