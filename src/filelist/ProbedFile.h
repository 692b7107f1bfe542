#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace filelist {

//! Why a file cannot be admitted: an error number and its description.
struct AdmissionFailure {
    int number = 0;
    QString description;
};

//! What admission learns of one file before its row is made. Made by
//! ProbeFile on any thread; the list checks and the messages that follow run
//! on the thread that owns the list.
struct ProbedFile {
    QString path;                   //!< normalised as admission keeps it
    bool admittedExtension = false; //!< false: nothing else was looked at
    bool cdTrack = false;
    AdmissionFailure failure; //!< number 0: none; else why it cannot be admitted
    qint64 size = 0;
    bool opened = false; //!< the engine opened it
    QString openFailure; //!< when it did not, the engine's reason, in English
    double seconds = 0;  //!< its playing time when opened
    QString baseFolder;  //!< the folder it was added from; empty when added by itself
    //! A CUE sheet or a drive (`discSource`) becomes one row per track: its
    //! tracks, probed ("album.cue#01" …); `failure` when it cannot be listed.
    bool discSource = false;
    std::vector<ProbedFile> tracks;
};

//! The playing time of `path` in seconds, opening it once as a stream or
//! failing that as music; nothing when the engine cannot open it.
std::optional<double> PlayingTime(const QString& path);

//! Probes `path`: normalises it, checks its extension, reads its size and
//! opens it once in the engine for its playing time. A CUE sheet or a drive
//! is listed as its tracks instead, each with its playing time and the size
//! text "CD Track" (read from a drive or a BIN image) or its share of the
//! audio file's size; a track's own path ("album.cue#03") as that track
//! alone. Safe on any thread.
ProbedFile ProbeFile(const QString& path);

} // namespace filelist
