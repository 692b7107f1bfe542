#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace testsupport {

//! A CD image made at test time: one sox tone per track (its own frequency),
//! written as 16-bit little-endian stereo at 44100 Hz into a BIN file, and
//! the CUE sheet that lists its tracks with their titles and the disc's tags.
class DiscImage {
public:
    static constexpr int kSectorBytes = 2352;

    struct Track {
        int sectors = 75; //!< from its INDEX 01 to the next track's
        int gap = 0;      //!< sectors before its INDEX 01 that end the previous track (INDEX 00)
    };

    //! Makes the BIN at `binPath`: `hidden` sectors of a hidden track before
    //! track 1's INDEX 01, then the tracks. False when sox failed.
    bool make(const QString& binPath, const std::vector<Track>& tracks, int hidden = 0);

    //! The whole image.
    const QByteArray& bytes() const { return m_bytes; }
    //! The audio from track 1's INDEX 01 to the end: what the tracks hold together.
    QByteArray audio() const { return m_bytes.mid(qsizetype(m_starts.front()) * kSectorBytes); }
    //! Track `number`'s audio (from 1): its INDEX 01 to the next track's.
    QByteArray track(int number) const;
    int trackCount() const { return int(m_tracks.size()); }

    //! The CUE sheet for the image as file `fileName` of type `fileType`
    //! (TITLE "Title N", PERFORMER "Artist N" per track; the disc "Album" by
    //! "Band", REM DATE 2001, REM GENRE "Rock").
    QByteArray sheet(const QString& fileName, const QString& fileType = QStringLiteral("BINARY")) const;

    //! A time of a sheet, "MM:SS:FF", for a number of sectors.
    static QString msf(qint64 sectors);

private:
    std::vector<Track> m_tracks;
    std::vector<qint64> m_starts; // INDEX 01 of each track, in sectors
    QByteArray m_bytes;
};

} // namespace testsupport
