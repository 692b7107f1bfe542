#pragma once

#include "filelist/ProbedFile.h"

#include <QString>
#include <functional>
#include <optional>

namespace filelist {

class FileList;

//! Why a path was not made a row, as data: the command line names each
//! refused path with it, in words that stay the same in every language.
enum class AdmissionRefusal : unsigned char {
    NotAudio,        //!< its extension is not one admission takes (a cover, a log, a playlist)
    Missing,         //!< nothing is there
    Unreadable,      //!< there, but it cannot be read or listed (the system says why)
    AlreadyListed,   //!< the list holds it already
    SheetTrack,      //!< taken as the audio of a CUE sheet beside it, whose tracks are the rows
    OutsideTreeRoot, //!< a path given with a tree root that does not lie below it
};

//! The words a refusal is named with ("not audio"), the same in every
//! language: scripts read them.
QString englishReason(AdmissionRefusal refusal);

//! Why admission would not make `file` a row of `list`; nothing when it
//! would. A disc source is refused only when it cannot be listed (its
//! tracks are looked at one by one).
std::optional<AdmissionRefusal> refusalOf(const ProbedFile& file, FileList& list);
//! The same, with `listed` telling whether a path is in the list already.
std::optional<AdmissionRefusal> refusalOf(const ProbedFile& file, const std::function<bool(const QString&)>& listed);

} // namespace filelist
