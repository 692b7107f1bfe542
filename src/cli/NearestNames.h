#pragma once

#include <QString>
#include <QStringList>

namespace cli {

//! The names of `names` nearest to `word`, a mistyped one, nearest first
//! and at most `most` of them: those a few letters away (letter case aside)
//! and those that begin with it. Empty when none is near.
QStringList nearestNames(const QString& word, const QStringList& names, int most = 3);

//! " (did you mean A or B?)" for the nearest names; empty when there is none.
QString didYouMean(const QString& word, const QStringList& names);

} // namespace cli
