#include "filelist/AdmissionRefusal.h"

#include "filelist/FileList.h"

#include <cerrno>

namespace filelist {

QString englishReason(AdmissionRefusal refusal)
{
    switch (refusal) {
    case AdmissionRefusal::NotAudio:
        return QStringLiteral("not audio");
    case AdmissionRefusal::Missing:
        return QStringLiteral("missing");
    case AdmissionRefusal::Unreadable:
        return QStringLiteral("unreadable");
    case AdmissionRefusal::AlreadyListed:
        return QStringLiteral("already in the list");
    case AdmissionRefusal::SheetTrack:
        return QStringLiteral("taken as a sheet's track");
    case AdmissionRefusal::OutsideTreeRoot:
        return QStringLiteral("outside the tree root");
    }
    return {};
}

std::optional<AdmissionRefusal> refusalOf(const ProbedFile& file, FileList& list)
{
    return refusalOf(file, [&list](const QString& path) { return list.containsPath(path); });
}

std::optional<AdmissionRefusal> refusalOf(const ProbedFile& file, const std::function<bool(const QString&)>& listed)
{
    if (file.failure.number == ENOENT)
        return AdmissionRefusal::Missing;
    if (file.discSource)
        return file.failure.number != 0 ? std::optional(AdmissionRefusal::Unreadable) : std::nullopt;
    if (listed(file.path))
        return AdmissionRefusal::AlreadyListed;
    if (!file.admittedExtension)
        return AdmissionRefusal::NotAudio;
    if (file.failure.number != 0)
        return AdmissionRefusal::Unreadable;
    return std::nullopt;
}

} // namespace filelist
