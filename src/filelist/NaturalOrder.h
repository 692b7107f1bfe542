#pragma once

#include <QString>

namespace filelist {

//! True when `a` sorts before `b` as a person orders file names: by the
//! collation of the user's language (English for the C locale), so "Émile"
//! comes before "Zoe", letters without regard to case, runs of digits by
//! their value ("2" before "10", "007" before "8", "02" as "2"). Names equal
//! in that sense fall back to a plain comparison, so the order is total and
//! the same on every run. Without ICU, letters compare as case-folded UTF-16.
bool naturalLess(const QString& a, const QString& b);

} // namespace filelist
