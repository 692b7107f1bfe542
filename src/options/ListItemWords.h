#pragma once

#include <QString>

namespace options {

//! The words a list item of the options is shown with, in the current
//! language. The lists hold their items in English, as the design fixes them
//! ("Joint Stereo", "44.1 KHz", "128 Kbps"): the encoder paths read them and
//! the settings store keeps their indexes. Only what is shown is translated,
//! numbers written as the language writes them ("44,1 kHz"); an item this
//! does not know is shown as it stands.
QString listItemWords(const QString& englishItem);

//! `kbps` written as a bitrate in the current language ("128 Kbps").
QString bitrateWords(int kbps);

//! Keeps the last two words of a wrapped text on one line, so a text never
//! ends in a word alone on its last line.
QString withoutLoneLastWord(const QString& text);

} // namespace options
