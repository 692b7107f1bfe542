#pragma once

#include "filelist/GridRowHeaderView.h"

#include <QPointer>
#include <QStringList>
#include <QTableView>

namespace filelist {

class FileList;
class GridProgressDelegate;

//! The file grid `Grid`: a table view over the current FileList. Column 0
//! (`ID`) is hidden, column 1 shows the tick boxes the user may change, the
//! others are read-only; the `Status` column is centred and painted as a
//! progress bar while it holds a number. Files dropped on it are reported by
//! filesDropped(); other dropped data is refused.
//!
//! A click selects whole rows (Shift and Ctrl extend the selection, Ctrl+A
//! selects every row); the grid is one stop of the Tab key and the arrow
//! keys move inside it. Space, Delete and Enter are reported for the window
//! to act on the selected rows: tick them, remove them, play.
class GridView : public QTableView {
    Q_OBJECT
public:
    //! Column widths in twips (15 to a pixel), by column.
    //! The status column holds "Codec Not Supported" and the time column its
    //! caption; the path column gives up what they need.
    static constexpr int kColumnTwips[] = {0, 500, 4400, 2400, 1400, 1200};
    static constexpr int kTwipsPerPixel = 15;
    //! Theme colours of the grid: its background and its border.
    static constexpr QRgb kBodyColor = qRgb(255, 192, 192);
    static constexpr QRgb kBorderColor = qRgb(192, 64, 0);

    explicit GridView(QWidget* parent = nullptr);

    //! Shows `list` with the grid's column layout and captions; nullptr (or
    //! the list's destruction) shows nothing.
    void bindList(FileList* list);
    FileList* fileList() const;

    //! The header captions of columns 2 to 5, kept across re-binding; fetched
    //! through the string lookup.
    void applyCaptions();

    GridProgressDelegate* progressDelegate() const { return m_progress; }

    //! The width in pixels that `twips` make.
    static int twipsToPixels(int twips);

    //! The rows selected, in list order.
    QList<int> selectedRows() const;

    //! Marks the row of the file the player plays (`path` as the grid shows
    //! it) with a play or pause sign beside its number.
    void setPlayingFile(const QString& path, GridRowHeaderView::Mark mark);
    GridRowHeaderView* rowHeader() const { return m_rowHeader; }

Q_SIGNALS:
    //! Local files dropped on the grid, in the order the drop listed them.
    void filesDropped(const QStringList& paths);
    //! A double-click anywhere on the rows area.
    void gridDoubleClicked();
    //! Space: tick (or untick) the selected rows.
    void tickKeyPressed();
    //! Delete: remove the selected rows.
    void removeKeyPressed();
    //! Enter: play the selected row.
    void playKeyPressed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLayout();
    //! Pixels that the caption of `column`, and for the status column every
    //! status text, need.
    int neededWidth(int column) const;
    void showHeaderCaptions();
    void applyTheme();

    QPointer<FileList> m_list;
    GridProgressDelegate* m_progress = nullptr;
    GridRowHeaderView* m_rowHeader = nullptr;
    QStringList m_captions;
};

} // namespace filelist
