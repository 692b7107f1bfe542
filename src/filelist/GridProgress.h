#pragma once

#include <QString>
#include <optional>

//! The figures of a progress cell: the conversion writes its progress as a
//! number of percent (possibly with decimals) into a row's `Status`, and the
//! grid paints such a cell as a bar with its label.
namespace filelist::gridprogress {

//! The cell's value when it is a finite number ("37.5", or with the user's
//! decimal separator); nothing for status texts such as "Complete".
std::optional<double> numericValue(const QString& text);

//! Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

//! The value rounded (halves to even) and limited to 0..100.
int percent(double value);

//! The label: the percentage and "%".
QString label(int percent);

//! Pixels of a bar `percent` % of `cellWidth` long, rounded halves to even.
int barWidth(int percent, int cellWidth);

} // namespace filelist::gridprogress
