#pragma once

#include "support/MeasuredRun.h"

#include <QString>
#include <QStringList>

namespace bench {

//! A batch converted the command-line way: `xargs -P JOBS` runs, for every
//! input, ffmpeg decoding it to WAV piped into the encoder.
//!
//! The script is run by `sh -c`. Only fixed, generated names go into it; the
//! folders reach it as variables, never as text of the script.
class ParallelPipelines {
public:
    //! Stands in the encoder's arguments for the output file.
    static QString outputMarker() { return QStringLiteral("@OUTPUT@"); }

    //! `names`: the inputs' generated names without extension (letters,
    //! digits, '_' and '-' only), each NAME.`inputExtension` in the input
    //! folder. `encoder`: the encoder program and its arguments, reading
    //! standard input, with outputMarker() for the output, which becomes
    //! NAME.`outputExtension` in the output folder.
    ParallelPipelines(const QStringList& names, const QString& inputExtension, const QStringList& encoder,
                      const QString& outputExtension);

    //! False when a name or extension holds anything but the safe characters
    //! or the encoder lacks the output marker: such a batch is never run.
    bool isValid() const { return m_valid; }

    //! The shell script, JOBS pipelines at a time.
    QString script(int jobs) const;

    //! Runs the batch; the folders reach the script as BENCH_IN and BENCH_OUT.
    MeasuredRun run(int jobs, const QString& inputFolder, const QString& outputFolder,
                    const QProcessEnvironment& env) const;

    //! The text as one single-quoted shell word.
    static QString shellQuoted(const QString& text);

private:
    QStringList m_names;
    QString m_inputExtension;
    QStringList m_encoder;
    QString m_outputExtension;
    bool m_valid = false;
};

} // namespace bench
