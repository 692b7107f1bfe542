#pragma once

#include "disc/CueSheet.h"
#include "engine/MediaTags.h"

#include <cstdint>
#include <vector>

namespace disc {

//! Where one track's audio lies: a run of 2352-byte sectors of a drive or a
//! BIN image, or a run of sample frames of an audio file the engine decodes.
struct DiscTrackSpan {
    static constexpr int kSectorBytes = 2352;
    static constexpr int kFramesPerSector = 588;

    enum class Source { DriveSectors, ImageSectors, FileSamples };

    int number = 0;
    Source source = Source::ImageSectors;
    QString file;                //!< the device, the BIN image or the audio file
    std::int64_t first = 0;      //!< first sector, or first sample frame
    std::int64_t end = 0;        //!< one past the last sector or sample frame
    int rate = 44100;            //!< sample frames per second
    std::int64_t fileSize = 0;   //!< bytes of the audio file (FileSamples)
    std::int64_t fileFrames = 0; //!< sample frames of the audio file (FileSamples)
    //! The pre-gap at the head of the next file, which ends this track too
    //! (a rip with one file per track that puts each gap before its track):
    //! sectors or sample frames [tailFirst, tailEnd) of `tailFile`, of the
    //! same kind and format as the span's own. Empty when there is none.
    QString tailFile;
    std::int64_t tailFirst = 0;
    std::int64_t tailEnd = 0;
    engine::MediaTags tags;

    bool sectors() const { return source != Source::FileSamples; }
    std::int64_t frames() const
    {
        const std::int64_t units = end - first + (tailFile.isEmpty() ? 0 : tailEnd - tailFirst);
        return sectors() ? units * kFramesPerSector : units;
    }
    double seconds() const { return double(frames()) / rate; }
};

//! The audio tracks of a disc or a CUE sheet, in order, with their tags.
//!
//! A track runs from its INDEX 01 to the next track's INDEX 01, so the gap
//! before a track (INDEX 00 to INDEX 01) ends the track before it, in one
//! file or across two: a track that ends with its file ends with the gap at
//! the head of the next file (unless the two files differ in format; the gap
//! then begins its own track). Audio before the first track's INDEX 01 (a
//! hidden track) is left out. Data tracks are skipped, their first index
//! (INDEX 00 or 01) ending the audio before them.
struct DiscLayout {
    QString source;
    std::vector<DiscTrackSpan> tracks;

    //! The span of track `number`, or null.
    const DiscTrackSpan* track(int number) const;

    //! Reads the layout of `source`: a CUE sheet or a drive's device.
    static DiscProblem read(const QString& source, DiscLayout& layout);
};

} // namespace disc
