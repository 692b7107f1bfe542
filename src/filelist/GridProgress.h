#pragma once

#include <QString>
#include <QtGlobal>
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

//! The contrast of two colours (0xRRGGBB) as the web's accessibility
//! guidelines measure it: 1 (the same) to 21 (black and white).
double contrastRatio(quint32 first, quint32 second);

//! The least contrast a label needs to be read: 4.5 to 1.
inline constexpr double kLeastContrast = 4.5;

//! `bar` as it is when text of colour `text` on it (and `bar` text on
//! `text`) has the least contrast; otherwise made darker (on a light text
//! colour) or lighter (on a dark one), keeping its hue, until it has.
quint32 readableBar(quint32 bar, quint32 text);

} // namespace filelist::gridprogress
