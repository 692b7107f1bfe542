#pragma once

#include "player/PlaylistGrid.h"

#include <QPointer>

class QAbstractItemView;
class QModelIndex;

namespace player {

//! The player's view of a table view over the file list. It asks the view
//! for its model and selection on every call, so it follows the view when
//! removal binds a new list.
class QtPlaylistGrid : public PlaylistGrid {
public:
    explicit QtPlaylistGrid(QAbstractItemView* view);

    int rowCount() const override;
    QString filePath(int row) const override;
    Cell activeCell() const override;
    void setActiveRow(int row) override;
    QList<int> selectedCellRows() const override;
    bool isCellSelected(int row, int column) const override;
    void setCellSelected(int row, int column, bool selected) override;
    bool isRowSelected(int row) const override;
    void setRowSelected(int row, bool selected) override;

private:
    //! The model's index of the cell; invalid when out of range or unbound.
    QModelIndex cell(int row, int column) const;

    QPointer<QAbstractItemView> m_view;
};

} // namespace player
