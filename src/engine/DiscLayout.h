#pragma once

#include "engine/CueSheet.h"
#include "engine/MediaTags.h"

#include <cstdint>
#include <vector>

namespace engine {

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
    MediaTags tags;

    bool sectors() const { return source != Source::FileSamples; }
    std::int64_t frames() const { return sectors() ? (end - first) * kFramesPerSector : end - first; }
    double seconds() const { return double(frames()) / rate; }
};

//! The audio tracks of a disc or a CUE sheet, in order, with their tags.
//!
//! A track runs from its INDEX 01 to the next track's INDEX 01 in the same
//! file (so the gap before a track, INDEX 00, ends the track before it), or
//! to the end of its file. Audio before the first track's INDEX 01 (a hidden
//! track) is left out; a gap at the start of a later file, whose previous
//! track ended with its own file, begins its track instead, so no audio
//! between the first track and the last is lost. Data tracks are skipped.
struct DiscLayout {
    QString source;
    std::vector<DiscTrackSpan> tracks;

    //! The span of track `number`, or null.
    const DiscTrackSpan* track(int number) const;

    //! Reads the layout of `source`: a CUE sheet or a drive's device.
    static DiscProblem read(const QString& source, DiscLayout& layout);
};

} // namespace engine
