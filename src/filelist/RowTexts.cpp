#include "filelist/RowTexts.h"

#include "filelist/FileList.h"
#include "lang/StringLookup.h"

namespace filelist {

namespace {

using lang::StringId;

struct RowText {
    StringId id;
    int column;
};

constexpr RowText kRowTexts[] = {
    {StringId::WaitingConversion, FileList::Status},
    {StringId::Cancelled, FileList::Status},
    {StringId::Error, FileList::Status},
    {StringId::Complete, FileList::Status},
    {StringId::CodecNotSupported, FileList::Status},
    {StringId::CdTrack, FileList::FileSize},
};

} // namespace

RowTexts RowTexts::lookUp()
{
    static_assert(std::size(kRowTexts) == kCount);
    RowTexts texts;
    for (int i = 0; i < kCount; ++i)
        texts.m_texts[std::size_t(i)] = lang::caption(kRowTexts[i].id);
    return texts;
}

int RowTexts::carryOver(FileList& list, const RowTexts& target) const
{
    int changed = 0;
    for (int row = 0; row < list.count(); ++row) {
        bool statusDone = false;
        bool sizeDone = false;
        for (int i = 0; i < kCount; ++i) {
            const std::size_t at = std::size_t(i);
            const int column = kRowTexts[i].column;
            bool& done = column == FileList::Status ? statusDone : sizeDone;
            // An empty text would match cells that hold no status at all.
            if (done || m_texts[at].isEmpty() || list.cell(row, column).toString() != m_texts[at])
                continue;
            done = true; // the first text that matches is the cell's meaning
            if (m_texts[at] != target.m_texts[at] && list.setCell(row, column, target.m_texts[at]))
                ++changed;
        }
    }
    return changed;
}

} // namespace filelist
