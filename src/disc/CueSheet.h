#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace disc {

//! Why a disc or a CUE sheet cannot be listed as tracks. `file` names the
//! sheet's file concerned and `track` the track, where they apply.
struct DiscProblem {
    enum class Kind {
        None,
        Unreadable,    //!< the sheet or the drive cannot be read
        Syntax,        //!< a line the sheet format does not allow (`track` holds its line number)
        NoAudioTracks, //!< nothing to convert
        NoSuchTrack,   //!< the sheet or disc has no track `track`
        MissingFile,   //!< the sheet names a file that is not there
        OutOfOrder,    //!< the times or numbers of `track` go backwards
        PastEnd,       //!< `track` begins at or after the end of its file
        Undecodable,   //!< the engine cannot decode the audio file
        Unsupported,   //!< an image whose sectors are not all 2352 bytes
    };
    DiscProblem(Kind problemKind = Kind::None, QString problemFile = {}, int problemTrack = 0, QString why = {})
        : kind(problemKind), file(std::move(problemFile)), track(problemTrack), reason(std::move(why))
    {
    }

    Kind kind = Kind::None;
    QString file;
    int track = 0;
    //! Why the sheet could not be read, in the system's words; empty when not known.
    QString reason;

    explicit operator bool() const { return kind != Kind::None; }
};

//! The contents of a CUE sheet, as written: files, tracks, their index
//! points and the CD-Text-like fields. Times are CD frames (1/75 s) from the
//! start of the file each index point lies in.
struct CueSheet {
    enum class FileType { Binary, Motorola, Audio };

    struct Index {
        int file = -1; //!< into `files`
        std::int64_t frame = -1;
        bool present() const { return frame >= 0; }
    };

    struct File {
        QString named; //!< as the sheet names it
        QString path;  //!< found on disk; empty when missing
        FileType type = FileType::Audio;
    };

    struct Track {
        int number = 0;
        int line = 0; //!< of its TRACK line
        bool audio = true;
        bool rawSectors = true; //!< 2352-byte sectors (audio, MODE1/2352, MODE2/2352)
        Index gap;              //!< INDEX 00, when the track has one
        Index start;            //!< INDEX 01 (a data track may lack it)
        QString title;
        QString performer;
        QString songwriter;
        QString date;
        QString genre;

        //! Where the track begins on the disc: its INDEX 00, else its INDEX 01.
        const Index& first() const { return gap.present() ? gap : start; }
    };

    QString title;
    QString performer;
    QString songwriter;
    QString date;
    QString genre;
    QString comment;
    QString discNumber;
    QString totalDiscs;
    std::vector<File> files;
    std::vector<Track> tracks;

    //! Reads the sheet at `path`: UTF-8 (a byte order mark is skipped), or
    //! Windows-1252 when it is not valid UTF-8, with any line ends (CR LF,
    //! LF, CR) and fields separated by any blanks; a quoted value runs to the
    //! line's last double quote. Checks that the numbers and times go
    //! forwards (times in whole frames below 75) and finds the files its
    //! audio tracks use, beside the sheet (Windows folder parts ignored;
    //! failing the exact name, the one name that differs only in case, or
    //! the one audio file of the same stem when an audio file was converted
    //! after the sheet was made). A data track needs no INDEX 01 and no file
    //! of its own: it is never converted. Only a regular file is read, so a
    //! FIFO under the name cannot hold the reading up.
    static DiscProblem read(const QString& path, CueSheet& sheet);

    //! The same for the sheet's text, whose files are looked for in `folder`.
    static DiscProblem parse(const QByteArray& bytes, const QString& folder, CueSheet& sheet);
};

} // namespace disc
