#pragma once

#include <QString>
#include <array>

namespace filelist {

class FileList;

//! The texts the program writes into rows of the file list (the statuses and
//! the size cell of a CD track) as one language has them. Taken before and
//! after a change of language, they carry the rows over to the new language,
//! so a row that was waiting in the old language is still waiting in the new
//! one: the batch compares statuses with the current language's texts.
class RowTexts {
public:
    //! The texts of the current language file.
    static RowTexts lookUp();

    //! Rewrites every `Status` and `FileSize` cell of `list` that holds one of
    //! these texts with the same text of `target`. Progress figures, paths and
    //! durations are left as they are. Returns how many cells changed.
    int carryOver(FileList& list, const RowTexts& target) const;

private:
    // Waiting, Cancelled, Error, Complete, Codec Not Supported, CD Track.
    static constexpr int kCount = 6;
    std::array<QString, kCount> m_texts;
};

} // namespace filelist
