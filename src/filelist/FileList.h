#pragma once

#include "filelist/FileListRow.h"
#include "filelist/MeasuredLoudness.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QVariant>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace filelist {

//! The file list: an ordered in-memory table of input files with a cursor,
//! and the item model the grid binds to. Each row holds its state as data
//! (RowState, the reason, the output kept); the `Status` cell and the text
//! colours are worded from it when asked, in the language current then, so a
//! change of language or a list built anew (removal) keeps every row's
//! meaning.
//!
//! Model roles: Display/Edit give each cell's value (the `CheckBox` column
//! shows no text; its Edit value is the stored integer; a `FilePath` that is
//! not valid UTF-8 is displayed with replacement characters), ToolTip gives
//! the whole `FilePath` (the grid may show it shortened) and the `Status`
//! cell's reason, CheckState gives and
//! sets the tick of the `CheckBox` column (setting stores 1 or 0), Foreground
//! gives the cell's text colour as a QColor when Qt Gui is present in the
//! process, TextColorRole gives it as 0xRRGGBB (an unsigned int) always, and
//! StateRole gives the row's RowState as an int. Only the tick column is
//! editable through the model.
class FileList : public QAbstractTableModel {
    Q_OBJECT
public:
    //! The six columns, in grid order.
    enum Column : int { ID = 0, CheckBox = 1, FilePath = 2, Status = 3, Duration = 4, FileSize = 5 };
    static constexpr int kColumnCount = 6;

    //! Rows are walked with 16-bit signed indexes elsewhere, so the list holds
    //! at most this many.
    static constexpr int kMaxRows = 32768;
    //! Longest `FilePath`, in UTF-8 bytes (the longest path the file system takes).
    static constexpr int kMaxPathBytes = 4096;

    //! Text colour of a cell as 0xRRGGBB.
    static constexpr int TextColorRole = Qt::UserRole + 1;
    //! The row's RowState, as an int.
    static constexpr int StateRole = Qt::UserRole + 2;

    explicit FileList(QObject* parent = nullptr);
    ~FileList() override;

    //! The column's name ("ID", "CheckBox", "FilePath", …).
    static QString columnName(int column);
    //! The index of a column by name, matched without regard to case; -1 when unknown.
    static int columnIndex(const QString& name);

    // ---- The table ------------------------------------------------------

    //! Number of rows.
    int count() const { return int(m_rows.size()); }
    //! The row at `row` (0-based); `row` must be valid.
    const FileListRow& at(int row) const { return m_rows[std::size_t(row)]; }
    const std::vector<FileListRow>& rows() const { return m_rows; }

    //! Appends a row and makes it current. False (nothing appended) when the
    //! list is full or the row's path is longer than kMaxPathBytes.
    bool append(const FileListRow& row);
    //! Replaces the row at `row` with `record`, telling views that all of it
    //! changed. False when `row` is out of range or the path does not fit.
    bool setRow(int row, const FileListRow& record);
    //! Appends an empty row (all cells 0 or empty) and makes it current.
    bool appendEmpty() { return append(FileListRow{}); }

    //! Reads a cell: an int for `ID` and `CheckBox`, a QString otherwise (the
    //! `Status` worded from the row's state in the current language, the
    //! `Duration` of an unopenable file "Error", the size of a CD track "CD
    //! Track"); an invalid QVariant for a row or column out of range.
    QVariant cell(int row, int column) const;
    //! Writes a cell and tells views that just this cell changed. False when
    //! the row or column is out of range, the column is `Status` (it follows
    //! the row's state) or the value does not fit the column (a path longer
    //! than kMaxPathBytes, a non-integer for `ID`/`CheckBox`).
    bool setCell(int row, int column, const QVariant& value);

    //! True when some row's `FilePath` equals `path` exactly (case-sensitive).
    //! Walks the list from the first row and leaves the cursor on the match
    //! (at the end when there is none).
    bool containsPath(const QString& path);

    // ---- Cursor -----------------------------------------------------------
    // The cursor is a row index; count() stands for "past the last row" (end),
    // -1 for "before the first row". An empty list is at both.

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    bool atEnd() const { return m_cursor >= count(); }
    bool atStart() const { return m_cursor < 0 || count() == 0; }
    int cursor() const { return m_cursor; }
    //! Moves the cursor to `row` (clamped to -1 .. count()).
    void setCursor(int row);

    //! The current row's cell by column name (case-insensitive); invalid at
    //! either end or for an unknown name.
    QVariant field(const QString& column) const;
    //! Writes the current row's cell by column name; false at either end, for
    //! an unknown name or a value that does not fit (see setCell).
    bool setField(const QString& column, const QVariant& value);

    // ---- Row state ------------------------------------------------------

    //! Sets the row's state; a row that is not converting keeps no progress.
    void setState(int row, RowState state);
    //! Makes the row converting, `percent` done.
    void setProgress(int row, float percent);
    //! Why the row's conversion ended as it did (shown as the `Status` cell's
    //! tooltip); an empty reason clears it.
    void setReason(int row, const RowReason& reason);
    //! The output file the row's last conversion kept, empty when none.
    void setOutputPath(int row, const QString& path);

    //! Tells views that every worded cell may read differently now (the
    //! language changed).
    void refreshWords();

    //! The row's reason in the current language; empty when it has none.
    QString statusReason(int row) const;
    //! The cell's text colour as 0xRRGGBB, if it has one: the `Status` of a
    //! finished, failed or unsupported row, and the `Duration` of an
    //! unopenable file.
    std::optional<quint32> textColor(int row, int column) const;

    // ---- Measured loudness ----------------------------------------------

    //! The loudness measured of the row's output, shown in the `Status`
    //! cell's tooltip below the reason; empty clears it.
    void setLoudness(int row, const std::optional<MeasuredLoudness>& loudness);
    std::optional<MeasuredLoudness> loudness(int row) const;

    // ---- QAbstractItemModel ----------------------------------------------

    //! What a screen reader reads for a cell, when not its text: the name
    //! of the file a tick box ticks, the percentage of a converting row.
    QVariant accessibleText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    //! Horizontal header captions are whatever setHeaderData stored (the grid
    //! sets them); without one, the column's name.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    bool valid(int row, int column) const;
    //! Tells views that the row's status cell (and its colours) changed.
    void statusChanged(int row);

    std::vector<FileListRow> m_rows;
    int m_cursor = 0;
    // FilePath -> first row holding it; rebuilt when a path is rewritten.
    QHash<QString, int> m_pathIndex;
    bool m_pathIndexValid = true;
    std::array<QVariant, kColumnCount> m_headers;
};

//! Returns a new, empty, open list with the six columns, or nullptr when it
//! could not be made. Does not touch the current list.
std::unique_ptr<FileList> NewFileList();

//! Makes `current` a new, empty list; true when it is open.
bool InitFileList(std::unique_ptr<FileList>& current);

} // namespace filelist
