#pragma once

#include <QHeaderView>
#include <QString>

namespace filelist {

//! The row numbers of the file grid. The row of the file the player plays
//! shows a play sign beside its number, or a pause sign while it is paused.
class GridRowHeaderView : public QHeaderView {
    Q_OBJECT
public:
    enum class Mark { None, Playing, Paused };

    explicit GridRowHeaderView(QWidget* parent = nullptr);

    //! Marks the row whose path the grid shows as `path`; Mark::None (or an
    //! empty path) marks none.
    void setPlaying(const QString& path, Mark mark);
    //! The row marked, -1 when none is.
    int playingRow() const;
    Mark mark() const { return m_mark; }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    int markSide() const;

    QString m_path;
    Mark m_mark = Mark::None;
};

} // namespace filelist
