#pragma once

#include <QString>

namespace convert {

//! The output file of an encoder path. The name is claimed by creating the
//! file empty before the encoder runs, so an existing file (one made after the
//! name was chosen) is never overwritten; the encoder then fills the file.
class EncoderOutput {
public:
    explicit EncoderOutput(QString path);

    //! Creates the empty file; false when a file of that name exists already
    //! or it cannot be created.
    bool claim();

    //! Removes the file when it is still empty, after a failure left nothing
    //! worth keeping in it.
    void dropIfEmpty();

    //! Whether the file exists and holds at least one byte.
    bool hasContent() const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_claimed = false;
};

} // namespace convert
