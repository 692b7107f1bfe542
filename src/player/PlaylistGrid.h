#pragma once

#include <QList>
#include <QString>

namespace player {

//! What the player asks of the file grid: the rows' paths, the active cell
//! and the selection. Rows and columns are those of the file list (column 1
//! the tick box, column 2 the path). A row or column out of range is
//! ignored by the setters and reads as unselected.
class PlaylistGrid {
public:
    struct Cell {
        int row = -1; //!< -1: no cell
        int column = -1;
    };

    virtual ~PlaylistGrid() = default;

    virtual int rowCount() const = 0;
    //! The text the grid shows in the row's path cell.
    virtual QString filePath(int row) const = 0;

    //! The active cell (row -1 when there is none).
    virtual Cell activeCell() const = 0;
    //! Makes `row` the active row and shows it, without changing the selection.
    virtual void setActiveRow(int row) = 0;

    //! The rows of the selected cells, in the order of the grid's selection.
    virtual QList<int> selectedCellRows() const = 0;
    virtual bool isCellSelected(int row, int column) const = 0;
    virtual void setCellSelected(int row, int column, bool selected) = 0;
    //! Whether the row as a whole is selected.
    virtual bool isRowSelected(int row) const = 0;
    virtual void setRowSelected(int row, bool selected) = 0;
};

} // namespace player
