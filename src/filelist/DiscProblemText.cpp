#include "filelist/DiscProblemText.h"

#include "lang/StringLookup.h"

#include <cerrno>

namespace filelist {

AdmissionFailure DiscProblemFailure(const disc::DiscProblem& problem, const QString& source)
{
    using Kind = disc::DiscProblem::Kind;
    using lang::StringId;
    const QString track = QString::number(problem.track);
    switch (problem.kind) {
    case Kind::None:
        return {};
    case Kind::Unreadable:
        if (!problem.reason.isEmpty())
            return {EIO, lang::caption(StringId::SheetNotRead).arg(source, problem.reason)};
        return {EIO, lang::caption(StringId::DiscUnreadable).arg(source)};
    case Kind::Syntax:
        return {EINVAL, lang::caption(StringId::CueSyntax).arg(source, track)};
    case Kind::NoAudioTracks:
        return {ENODATA, lang::caption(StringId::DiscNoAudioTracks).arg(source)};
    case Kind::NoSuchTrack:
        return {ENOENT, lang::caption(StringId::DiscNoSuchTrack).arg(source, track)};
    case Kind::MissingFile:
        return {ENOENT, lang::caption(StringId::CueMissingFile).arg(source, problem.file)};
    case Kind::OutOfOrder:
        return {EINVAL, lang::caption(StringId::CueOutOfOrder).arg(source, track)};
    case Kind::PastEnd:
        return {EINVAL, lang::caption(StringId::CuePastEnd).arg(source, track, problem.file)};
    case Kind::Undecodable:
        return {ENOTSUP, lang::caption(StringId::CueUndecodable).arg(source, problem.file)};
    case Kind::Unsupported:
        return {ENOTSUP, lang::caption(StringId::CueUnsupportedImage).arg(source, problem.file)};
    }
    return {EINVAL, lang::caption(StringId::DiscUnreadable).arg(source)};
}

} // namespace filelist
