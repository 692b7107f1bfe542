#include "filelist/FileListPanel.h"

#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace filelist {

FileListPanel::FileListPanel(platform::Desktop& desktop, FileAdmission& admission,
                             std::unique_ptr<FileList>& currentList, QWidget* parent)
    : QWidget(parent), m_desktop(desktop), m_currentList(currentList),
      m_actions(
          desktop, [&admission](const ProbedFile& file) { return admission.AddProbedFile(file); },
          [this] { Grid->viewport()->update(); }, [this] { return listedPaths(); })
{
    buildInterface();
    m_actions.setListFull([&admission] { return admission.listFull(); },
                          [&admission](qsizetype notAdded) { admission.showListFull(notAdded); });
    admission.setClearSelectAll([this] { chkSelectAll->setChecked(false); });
}

FileListPanel::~FileListPanel() = default;

QSet<QString> FileListPanel::listedPaths() const
{
    QSet<QString> paths;
    if (m_currentList) {
        paths.reserve(m_currentList->count());
        for (const FileListRow& row : m_currentList->rows())
            paths.insert(row.path);
    }
    return paths;
}

void FileListPanel::buildInterface()
{
    setObjectName(QStringLiteral("FileListPanel"));

    lblQuickAddHint = new QLabel(this);
    lblQuickAddHint->setObjectName(QStringLiteral("Label9"));
    lblQuickAddHint->setWordWrap(true);

    Grid = new GridView(this);

    chkSelectAll = new QCheckBox(this);
    chkSelectAll->setObjectName(QStringLiteral("chkSelectAll"));
    cmdAddFile = new QPushButton(this);
    cmdAddFile->setObjectName(QStringLiteral("cmdAddFile"));
    cmdAddFileMenu = new QToolButton(this);
    cmdAddFileMenu->setObjectName(QStringLiteral("cmdAddFileMenu"));
    cmdAddFileMenu->setArrowType(Qt::DownArrow);
    cmdAddFileMenu->setPopupMode(QToolButton::InstantPopup);
    cmdAddFileMenu->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    auto* addMenu = new QMenu(cmdAddFileMenu);
    mnuAudioCd = addMenu->addMenu(QString());
    mnuAudioCd->setObjectName(QStringLiteral("mnuAudioCd"));
    cmdAddFileMenu->setMenu(addMenu);
    // The arrow follows its button, which the batch disables while it runs.
    cmdAddFile->installEventFilter(this);
    cmdAddFolder = new QPushButton(this);
    cmdAddFolder->setObjectName(QStringLiteral("cmdAddFolder"));
    cmdAddVideoFile = new QPushButton(this);
    cmdAddVideoFile->setObjectName(QStringLiteral("cmdAddVideoFile"));
    cmdRemove = new QPushButton(this);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));

    // The select-all box sits above the grid beside the hint, so that the
    // four buttons below have the whole width for their texts in every language.
    auto* hint = new QHBoxLayout;
    hint->addWidget(lblQuickAddHint, 1);
    hint->addWidget(chkSelectAll, 0, Qt::AlignBottom);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* addFile = new QHBoxLayout;
    addFile->setSpacing(0);
    addFile->addWidget(cmdAddFile);
    addFile->addWidget(cmdAddFileMenu);
    buttons->addLayout(addFile);
    buttons->addWidget(cmdAddFolder);
    buttons->addWidget(cmdAddVideoFile);
    buttons->addWidget(cmdRemove);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(hint);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);

    connect(chkSelectAll, &QCheckBox::toggled, this, &FileListPanel::chkSelectAll_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &FileListPanel::cmdRemove_Click);
    connect(cmdAddFile, &QPushButton::clicked, this, &FileListPanel::cmdAddFile_Click);
    connect(cmdAddFolder, &QPushButton::clicked, this, &FileListPanel::cmdAddFolder_Click);
    connect(mnuAudioCd, &QMenu::aboutToShow, this, &FileListPanel::fillAudioCdMenu);
    connect(cmdAddVideoFile, &QPushButton::clicked, this, &FileListPanel::cmdAddVideoFile_Click);
    connect(Grid, &GridView::filesDropped, this, &FileListPanel::dropFiles);
    connect(Grid, &GridView::gridDoubleClicked, this, &FileListPanel::playRequested);
    connect(Grid, &GridView::playKeyPressed, this, &FileListPanel::playRequested);
    connect(Grid, &GridView::tickKeyPressed, this, &FileListPanel::tickSelectedRows);
    connect(Grid, &GridView::removeKeyPressed, this, &FileListPanel::removeSelectedRows);

    applyCaptions();
}

void FileListPanel::addAndShow(const std::function<void()>& add)
{
    const int before = m_currentList ? m_currentList->count() : 0;
    add();
    // The rows land at the end of the list, maybe below what the grid shows.
    FileList* list = m_currentList.get();
    if (list && list->count() > before)
        Grid->scrollTo(list->index(before, FileList::FilePath));
}

void FileListPanel::cmdAddFile_Click()
{
    addAndShow([this] { m_actions.AddFiles(); });
}

void FileListPanel::cmdAddVideoFile_Click()
{
    addAndShow([this] { m_actions.AddVideoFiles(); });
}

void FileListPanel::cmdAddFolder_Click()
{
    addAndShow([this] { m_actions.AddFolder(); });
}

void FileListPanel::dropFiles(const QStringList& paths)
{
    addAndShow([this, &paths] { m_actions.DropFiles(paths); });
}

bool FileListPanel::InitGrid()
{
    Grid->bindList(nullptr);
    if (!InitFileList(m_currentList))
        return false;
    Grid->bindList(m_currentList.get());
    return true;
}

void FileListPanel::applyCaptions()
{
    using lang::StringId;
    chkSelectAll->setText(lang::caption(StringId::SelectAll));
    cmdAddFile->setText(lang::caption(StringId::AddFile));
    // An arrow shows no words: its tooltip is its name too.
    cmdAddFileMenu->setToolTip(lang::caption(StringId::MoreWaysToAdd));
    cmdAddFileMenu->setAccessibleName(cmdAddFileMenu->toolTip());
    mnuAudioCd->setTitle(lang::caption(StringId::AddAudioCd));
    cmdAddFolder->setText(lang::caption(StringId::AddFolder));
    cmdAddVideoFile->setText(lang::caption(StringId::AddVideoFile));
    cmdRemove->setText(lang::caption(StringId::RemoveSelected));
    lblQuickAddHint->setText(lang::caption(StringId::QuickAddingHint));
    Grid->applyCaptions();
}

bool FileListPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmdAddFile && event->type() == QEvent::EnabledChange)
        cmdAddFileMenu->setEnabled(cmdAddFile->isEnabled());
    return QWidget::eventFilter(watched, event);
}

void FileListPanel::fillAudioCdMenu()
{
    mnuAudioCd->clear();
    const std::vector<disc::AudioDiscDrive> drives =
        m_findDrives ? m_findDrives() : std::vector<disc::AudioDiscDrive>{};
    if (drives.empty()) {
        mnuAudioCd->addAction(lang::caption(lang::StringId::NoAudioCd))->setEnabled(false);
        return;
    }
    for (const disc::AudioDiscDrive& drive : drives) {
        QString text = drive.device;
        if (!drive.title.isEmpty())
            text += QStringLiteral(" - ") + drive.title;
        text += QStringLiteral(" (") + lang::caption(lang::StringId::CdTrackCount).arg(drive.tracks) + u')';
        const QString device = drive.device;
        connect(mnuAudioCd->addAction(text), &QAction::triggered, this,
                [this, device] { m_actions.AddFiles({device}); });
    }
}

void FileListPanel::chkSelectAll_Click()
{
    FileList* list = m_currentList.get();
    if (!list || list->count() == 0)
        return;
    for (list->moveFirst(); !list->atEnd(); list->moveNext())
        list->setField(QStringLiteral("Checkbox"), chkSelectAll->isChecked() ? 1 : 0);
}

QList<int> FileListPanel::chosenRows() const
{
    QList<int> ticked;
    if (const FileList* list = m_currentList.get())
        for (int row = 0; row < list->count(); ++row)
            if (list->at(row).CheckBox != 0)
                ticked.append(row);
    return ticked.isEmpty() ? Grid->selectedRows() : ticked;
}

void FileListPanel::cmdRemove_Click()
{
    const FileList* list = m_currentList.get();
    if (!list || list->count() == 0)
        return;
    const QList<int> rows = chosenRows();
    if (rows.isEmpty()) {
        m_desktop.messageBox(lang::caption(lang::StringId::TickFilesToRemove),
                             lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Information,
                             platform::Desktop::Buttons::Ok);
        return;
    }
    if (removeRows([&rows](int row) { return std::binary_search(rows.begin(), rows.end(), row); }))
        chkSelectAll->setChecked(false);
}

bool FileListPanel::removeRows(const std::function<bool(int row)>& dropped)
{
    std::unique_ptr<FileList> kept = NewFileList();
    FileList* list = m_currentList.get();
    if (!kept || !list || list->count() == 0)
        return false;
    const QString playerFile = m_playerFile ? m_playerFile() : QString();
    for (list->moveFirst(); !list->atEnd(); list->moveNext()) {
        const FileListRow& row = list->at(list->cursor());
        if (!dropped(list->cursor())) {
            kept->append(row);
        } else if (!playerFile.isEmpty() && row.path == playerFile) {
            Q_EMIT stopPlayerRequested();
        }
    }
    // Bind the new list before the old one goes, so the grid never shows a
    // list that no longer exists.
    Grid->bindList(kept.get());
    m_currentList = std::move(kept);
    Q_EMIT fileListReplaced(m_currentList.get());
    return true;
}

void FileListPanel::tickSelectedRows()
{
    FileList* list = m_currentList.get();
    const QList<int> rows = Grid->selectedRows();
    if (!list || rows.isEmpty())
        return;
    const bool allTicked =
        std::all_of(rows.begin(), rows.end(), [list](int row) { return list->at(row).CheckBox != 0; });
    for (const int row : rows)
        list->setCell(row, FileList::CheckBox, allTicked ? 0 : 1);
}

void FileListPanel::removeSelectedRows()
{
    const QList<int> rows = chosenRows();
    if (rows.isEmpty() || !cmdRemove->isEnabled())
        return;
    if (rows.size() > 1) {
        const platform::Desktop::Answer answer =
            m_desktop.messageBox(lang::caption(lang::StringId::RemoveSelectedRows).arg(rows.size()),
                                 lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Question,
                                 platform::Desktop::Buttons::YesNo);
        if (answer != platform::Desktop::Answer::Yes)
            return;
    }
    const int first = rows.front();
    if (!removeRows([&rows](int row) { return std::binary_search(rows.begin(), rows.end(), row); }))
        return;
    // The keyboard goes on from the row that took the first removed one's place.
    if (QAbstractItemModel* model = Grid->model(); model && model->rowCount() > 0) {
        const QModelIndex next = model->index(std::min(first, model->rowCount() - 1), FileList::FilePath);
        Grid->selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
}

} // namespace filelist
