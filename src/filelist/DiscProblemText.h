#pragma once

#include "disc/CueSheet.h"
#include "filelist/ProbedFile.h"

namespace filelist {

//! Why the disc or CUE sheet `source` cannot be added, as the admission
//! error box shows it: a system error number and the localized reason.
AdmissionFailure DiscProblemFailure(const disc::DiscProblem& problem, const QString& source);

} // namespace filelist
