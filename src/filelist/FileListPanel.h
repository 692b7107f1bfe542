#pragma once

#include "disc/DiscTracks.h"
#include "filelist/AddFilesActions.h"
#include "filelist/FileList.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace platform {
class Desktop;
}

namespace filelist {

class FileAdmission;
class GridView;

//! Step 1 of the main window: the file grid `Grid` with the select-all box,
//! the buttons that add audio files, a folder or video files, the button that
//! removes the ticked rows, and the drag-and-drop hint. A small arrow beside
//! "Add Audio File..." opens "Add Audio CD...", which lists the drives that
//! hold an audio disc and adds the tracks of the one chosen.
//!
//! The main window owns the current list; the panel is handed the window's
//! slot for it and replaces its content on removal, announcing the new list
//! with fileListReplaced(). Admission belongs to the window too; the panel
//! makes it clear `chkSelectAll` after each admitted file.
class FileListPanel : public QWidget {
    Q_OBJECT
public:
    FileListPanel(platform::Desktop& desktop, FileAdmission& admission, std::unique_ptr<FileList>& currentList,
                  QWidget* parent = nullptr);
    ~FileListPanel() override;

    //! The grid set-up: makes a new current list, binds the grid to it with its
    //! column layout, captions, theme and drop acceptance. False when the
    //! list could not be made (the grid then shows nothing).
    bool InitGrid();

    //! Captions of the panel's controls and the grid's headers, in the
    //! current language.
    void applyCaptions();

    //! Gives the file the player last started (`sPlayerFile`); removing its
    //! row asks for the player to stop first.
    void setPlayerFile(std::function<QString()> playerFile) { m_playerFile = std::move(playerFile); }

    AddFilesActions& actions() { return m_actions; }

    // Handlers of the controls; public so the window and tests can run them.
    void chkSelectAll_Click();
    void cmdRemove_Click();
    void cmdAddFile_Click();
    void cmdAddVideoFile_Click();
    void cmdAddFolder_Click();
    //! Files dropped on the grid: admitted as the dialogs' files are.
    void dropFiles(const QStringList& paths);
    //! Fills the "Add Audio CD..." menu with the drives that hold an audio
    //! disc now (or one disabled entry saying there is none).
    void fillAudioCdMenu();

    //! Replaces the search for drives with an audio disc (tests).
    void setDriveFinder(std::function<std::vector<disc::AudioDiscDrive>()> find) { m_findDrives = std::move(find); }

    //! The rows "Selected" means, for the buttons and the keys alike: the
    //! ticked rows, or, when no row is ticked, the highlighted ones.
    QList<int> chosenRows() const;

    //! Space on the grid: ticks the highlighted rows, or unticks them when
    //! every one is ticked already.
    void tickSelectedRows();
    //! Delete on the grid: removes the chosen rows as Remove Selected does,
    //! asking first when there are several. Nothing while Remove Selected is
    //! disabled (a batch runs).
    void removeSelectedRows();

    GridView* Grid = nullptr;
    QCheckBox* chkSelectAll = nullptr;
    QPushButton* cmdAddFile = nullptr;
    QToolButton* cmdAddFileMenu = nullptr; //!< the arrow beside cmdAddFile
    QMenu* mnuAudioCd = nullptr;           //!< "Add Audio CD...": one entry per drive
    QPushButton* cmdAddFolder = nullptr;
    QPushButton* cmdAddVideoFile = nullptr;
    QPushButton* cmdRemove = nullptr;
    QLabel* lblQuickAddHint = nullptr;

Q_SIGNALS:
    //! Removal made a new current list (already bound to the grid).
    void fileListReplaced(FileList* list);
    //! A double-click on the grid: the Play button's action, when it is enabled.
    void playRequested();
    //! Removal is about to drop the row of the file the player last started:
    //! the Stop button's action. Emitted before the list is replaced.
    void stopPlayerRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<QString> listedPaths() const;
    //! Runs one way of adding files, then shows the first row it added.
    void addAndShow(const std::function<void()>& add);
    void buildInterface();
    //! Makes a new current list of the rows `dropped` refuses, stopping the
    //! player first when the row it last started goes. False (nothing
    //! changes) when the list is empty.
    bool removeRows(const std::function<bool(int row)>& dropped);

    platform::Desktop& m_desktop;
    std::unique_ptr<FileList>& m_currentList;
    AddFilesActions m_actions;
    std::function<QString()> m_playerFile;
    std::function<std::vector<disc::AudioDiscDrive>()> m_findDrives = disc::AudioDiscDrives;
};

} // namespace filelist
