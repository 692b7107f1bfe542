#include "filelist/GridView.h"

#include "filelist/FileList.h"
#include "filelist/GridProgressDelegate.h"
#include "filelist/GridRowHeaderView.h"
#include "lang/StringLookup.h"
#include "platform/FileName.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

namespace filelist {

namespace {

//! The local files that dropped data carries, in its order; empty for any
//! other kind of data.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths << platform::pathOfFileUrl(url);
    }
    return paths;
}

} // namespace

GridView::GridView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("Grid"));
    m_rowHeader = new GridRowHeaderView(this);
    setVerticalHeader(m_rowHeader);
    m_progress = new GridProgressDelegate(this);
    setItemDelegateForColumn(FileList::Status, m_progress);

    // Rows enter only through admission and leave only through removal; the
    // view edits nothing but the tick boxes, which toggle without an editor.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
    setSortingEnabled(false);
    setWordWrap(false);
    // A long path keeps its start and its file name in view; the whole path
    // is the cell's tooltip.
    setTextElideMode(Qt::ElideMiddle);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);

    applyTheme();
    applyCaptions();
}

int GridView::twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

void GridView::bindList(FileList* list)
{
    m_list = list;
    setModel(list);
    applyLayout();
}

FileList* GridView::fileList() const
{
    return m_list;
}

void GridView::applyCaptions()
{
    using lang::StringId;
    m_captions = {QString(),
                  QStringLiteral(" "),
                  lang::caption(StringId::FilePathHeader),
                  lang::caption(StringId::StatusHeader),
                  lang::caption(StringId::TimeLengthHeader),
                  lang::caption(StringId::FileSizeHeader)};
    setAccessibleName(lang::caption(StringId::FileListName));
    applyLayout();
}

void GridView::showHeaderCaptions()
{
    if (!m_list)
        return;
    for (int column = 1; column < FileList::kColumnCount; ++column)
        m_list->setHeaderData(column, Qt::Horizontal, m_captions[column]);
}

void GridView::applyLayout()
{
    if (!m_list)
        return;
    setColumnHidden(FileList::ID, true);
    int pathWidth = twipsToPixels(kColumnTwips[FileList::FilePath]);
    for (int column = FileList::CheckBox; column < FileList::kColumnCount; ++column) {
        if (column == FileList::FilePath)
            continue;
        // A column whose caption or statuses (in the current language) are
        // wider than its design width takes what it lacks from the path.
        const int width = std::max(twipsToPixels(kColumnTwips[column]), neededWidth(column));
        pathWidth -= width - twipsToPixels(kColumnTwips[column]);
        setColumnWidth(column, width);
    }
    setColumnWidth(FileList::FilePath, std::max(pathWidth, twipsToPixels(kColumnTwips[FileList::FilePath]) / 2));
    // The path takes whatever width the grid has beyond the other columns,
    // so the header always reaches the grid's right edge.
    horizontalHeader()->setMinimumSectionSize(twipsToPixels(kColumnTwips[FileList::CheckBox]));
    horizontalHeader()->setSectionResizeMode(FileList::FilePath, QHeaderView::Stretch);
    showHeaderCaptions();
}

int GridView::neededWidth(int column) const
{
    constexpr int kCellMargins = 12;
    int needed = horizontalHeader()->fontMetrics().horizontalAdvance(m_captions.value(column)) + kCellMargins;
    if (column == FileList::Status) {
        using lang::StringId;
        for (const StringId status : {StringId::WaitingConversion, StringId::CodecNotSupported, StringId::Complete,
                                      StringId::Cancelled, StringId::Error})
            needed = std::max(needed, fontMetrics().horizontalAdvance(lang::caption(status)) + kCellMargins);
    }
    return needed;
}

void GridView::applyTheme()
{
    QPalette pal = palette();
    const QColor body = QColor::fromRgb(kBodyColor);
    const QColor border = QColor::fromRgb(kBorderColor);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, body);
        pal.setColor(group, QPalette::AlternateBase, body);
        pal.setColor(group, QPalette::Window, body);
        pal.setColor(group, QPalette::Button, body);
        pal.setColor(group, QPalette::Text, Qt::black);
        pal.setColor(group, QPalette::WindowText, Qt::black);
        pal.setColor(group, QPalette::ButtonText, Qt::black);
        pal.setColor(group, QPalette::Highlight, border);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(pal);
    setGridStyle(Qt::SolidLine);
    setStyleSheet(
        QStringLiteral("QTableView#Grid { border: 1px solid rgb(192, 64, 0); gridline-color: rgb(192, 64, 0); }"));
}

void GridView::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void GridView::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void GridView::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}

void GridView::setPlayingFile(const QString& path, GridRowHeaderView::Mark mark)
{
    m_rowHeader->setPlaying(path, mark);
}

QList<int> GridView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    for (const QModelIndex& index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Space:
            Q_EMIT tickKeyPressed();
            return;
        case Qt::Key_Delete:
            Q_EMIT removeKeyPressed();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Q_EMIT playKeyPressed();
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT gridDoubleClicked();
}

} // namespace filelist
