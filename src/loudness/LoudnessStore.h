#pragma once

#include "loudness/LoudnessAnalysis.h"

#include <QString>
#include <optional>

namespace loudness {

//! Analyses measured before, kept per user (an SQLite file in the cache
//! folder), so that normalising a file measured once needs no measuring pass
//! again. An analysis is found only for the same file with the size and
//! modification time it had when it was measured, decoded the same way (the
//! `variant`: the decoding flags that change the samples). It is a cache:
//! when it cannot be read or written, the file is measured again and nothing
//! else changes. Analyses unused for half a year are dropped.
class LoudnessStore {
public:
    //! "$XDG_CACHE_HOME/Tonemill/loudness.sqlite", "~/.cache" when unset.
    static QString defaultPath();
    explicit LoudnessStore(QString path = defaultPath());

    std::optional<LoudnessAnalysis> find(const QString& input, int variant) const;
    //! False when it could not be kept.
    bool keep(const QString& input, int variant, const LoudnessAnalysis& analysis) const;

    //! The file whose size and time identify `input`: the part before "#NN"
    //! for a track of a disc or CUE sheet ("album.cue#03"), else itself.
    static QString identifyingFile(const QString& input);

private:
    QString m_path;
};

} // namespace loudness
