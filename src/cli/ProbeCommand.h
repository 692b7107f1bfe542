#pragma once

#include <QStringList>
#include <cstdio>

namespace platform {
class Desktop;
}

namespace cli {

//! `tonemill probe [--recursive] [--] PATH...`: admits every PATH as the
//! window would (a folder: the files directly inside it, as Add Folder scans
//! them; with --recursive its whole tree) and writes
//! one line per admitted row to `out`: FilePath, Duration, FileSize and
//! Status separated by tabs (a tab, line break, other control character or
//! backslash inside a cell is written as a C-style escape). Message boxes go
//! to `desktop`. Arguments starting with "-" are options (there are none yet)
//! until a "--", after which every argument is a path.
//! Returns 0 when every path was admitted, 1 when any was refused or failed,
//! 2 for a usage error. The engine must have been started.
int runProbe(const QStringList& arguments, std::FILE* out, std::FILE* usageErrors, platform::Desktop& desktop);

//! One cell of a probe line, escaped as described above.
QString probeCell(const QString& cell);

} // namespace cli
