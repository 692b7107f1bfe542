#pragma once

#include <QString>

namespace filelist {

//! True when `a` sorts before `b` as a person orders file names: letters
//! without regard to case, runs of digits by their value ("2" before "10").
//! Names equal in that sense fall back to a plain comparison, so the order is
//! total and the same on every run.
bool naturalLess(const QString& a, const QString& b);

} // namespace filelist
