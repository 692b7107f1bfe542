#pragma once

#include "engine/Bass.h"
#include "loudness/LoudnessFigures.h"
#include "loudness/LoudnessMeter.h"
#include "tags/WriteFileTags.h"

#include <QString>
#include <memory>
#include <optional>

namespace convert {

class ConversionSession;

//! The loudness work of one row, beside its encoder path: the gain when
//! normalising (found from a stored analysis, or measured in a first decoding
//! pass, of the file or of its whole album), the meter fed with exactly what
//! the encoder gets, the track's ReplayGain fields in the output, and the
//! result for the row's tooltip and the batch's albums.
class RowLoudness {
public:
    //! `decodeFlags` are those the encoder path opens its stream with.
    RowLoudness(ConversionSession& session, const QString& origfile, tags::TagFormat format, DWORD decodeFlags);
    ~RowLoudness();
    RowLoudness(const RowLoudness&) = delete;
    RowLoudness& operator=(const RowLoudness&) = delete;

    //! Before the conversion stream is opened. When normalising, finds the
    //! gain; a measuring pass, if one is needed, shows as the first of two in
    //! the row. False when the user stopped meanwhile: the row has ended
    //! "Cancelled" and the encoder path returns.
    bool prepare();
    //! Once the conversion stream is open: applies the gain to it and starts
    //! the meter. False when the gain cannot be applied.
    bool attach(HSTREAM stream);
    //! Every chunk the encoder gets, as it gets it.
    void feed(const void* data, DWORD bytes)
    {
        if (m_meter && bytes != DWORD(-1))
            m_meter->add(static_cast<const char*>(data), bytes);
    }
    //! The complete output, under its temporary name: writes the track's
    //! ReplayGain fields when asked to. False when they cannot be written
    //! (the output is then not to be kept).
    bool tag(const QString& temporaryPath);
    //! The output got its final name: shows its loudness in the row and
    //! leaves the measurement in the session for the batch's albums; keeps the
    //! analysis of an output made without gain for later normalising.
    void done();

    //! The gain applied, in dB; empty when not normalising.
    std::optional<double> gain() const { return m_gain; }

    //! The flags of a decoding that change the samples measured.
    static int variant(DWORD decodeFlags);

private:
    std::optional<loudness::LoudnessAnalysis> measureFirst(const QString& path, bool& stopped);

    ConversionSession& m_session;
    QString m_origfile;
    tags::TagFormat m_format;
    DWORD m_flags;
    std::optional<double> m_gain;
    bool m_measuringPass = false; // a first pass decoded a file
    std::unique_ptr<loudness::LoudnessMeter> m_meter;
};

//! The reason of a row whose ReplayGain fields could not be written.
QString ReplayGainTagFailure();

} // namespace convert
