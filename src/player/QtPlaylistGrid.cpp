#include "player/QtPlaylistGrid.h"

#include "filelist/FileList.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace player {

QtPlaylistGrid::QtPlaylistGrid(QAbstractItemView* view) : m_view(view) {}

QModelIndex QtPlaylistGrid::cell(int row, int column) const
{
    if (!m_view || !m_view->model() || !m_view->selectionModel())
        return {};
    return m_view->model()->index(row, column);
}

int QtPlaylistGrid::rowCount() const
{
    return m_view && m_view->model() ? m_view->model()->rowCount() : 0;
}

QString QtPlaylistGrid::filePath(int row) const
{
    return cell(row, filelist::FileList::FilePath).data(Qt::DisplayRole).toString();
}

PlaylistGrid::Cell QtPlaylistGrid::activeCell() const
{
    if (!m_view || !m_view->selectionModel())
        return {};
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    if (!current.isValid())
        return {};
    return {current.row(), current.column()};
}

void QtPlaylistGrid::setActiveRow(int row)
{
    const QModelIndex index = cell(row, filelist::FileList::FilePath);
    if (!index.isValid())
        return;
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_view->scrollTo(index);
}

QList<int> QtPlaylistGrid::selectedCellRows() const
{
    QList<int> rows;
    if (!m_view || !m_view->selectionModel())
        return rows;
    const QModelIndexList cells = m_view->selectionModel()->selectedIndexes();
    for (const QModelIndex& index : cells)
        rows << index.row();
    return rows;
}

bool QtPlaylistGrid::isCellSelected(int row, int column) const
{
    const QModelIndex index = cell(row, column);
    return index.isValid() && m_view->selectionModel()->isSelected(index);
}

void QtPlaylistGrid::setCellSelected(int row, int column, bool selected)
{
    const QModelIndex index = cell(row, column);
    if (index.isValid())
        m_view->selectionModel()->select(index, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

bool QtPlaylistGrid::isRowSelected(int row) const
{
    const QModelIndex index = cell(row, 0);
    return index.isValid() && m_view->selectionModel()->isRowSelected(row, index.parent());
}

void QtPlaylistGrid::setRowSelected(int row, bool selected)
{
    const QModelIndex index = cell(row, 0);
    if (index.isValid())
        m_view->selectionModel()->select(index,
                                         (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                             QItemSelectionModel::Rows);
}

} // namespace player
