#include "QuietWindow.h"
#include "app/AboutPanel.h"
#include "app/DragPanel.h"
#include "app/MainWindow.h"
#include "app/QtPanelSlide.h"
#include "controls/SliderWidget.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "engine/AudioEngine.h"
#include "filelist/FileList.h"
#include "filelist/FileListPanel.h"
#include "filelist/GridView.h"
#include "lang/LanguageBoxWidget.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "options/OutputFolderWidget.h"
#include "platform/UserSettings.h"
#include "player/Player.h"
#include "player/PlayerPanel.h"
#include "support/Fixtures.h"
#include "support/ProgramFolderEnvironment.h"
#include "support/ScriptedDesktop.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

// The window's habits, through the keys a user presses on the real window:
// the grid's selection and what Space, Delete, Enter, Ctrl+A, Escape and Tab
// do with it; and the window's size and place, kept for the next start.

namespace {

using filelist::FileList;
using testsupport::ScriptedDesktop;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new testsupport::ProgramFolderEnvironment);

using testsupport::QuietWindow;

filelist::FileListRow fileRow(const QString& path)
{
    filelist::FileListRow row;
    row.path = path;
    row.Duration = QStringLiteral("00:05");
    row.FileSize = QStringLiteral("1 KB");
    return row;
}

// A window shown with four rows, the keyboard in its grid.
class WindowKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load());
        window.show();
        QApplication::setActiveWindow(&window);
        for (const char* name : {"/music/a.wav", "/music/b.wav", "/music/c.wav", "/music/d.wav"})
            ASSERT_TRUE(window.currentList()->append(fileRow(QString::fromLatin1(name))));
        grid()->setFocus();
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), grid());
    }

    filelist::GridView* grid() const { return window.filesPanel->Grid; }

    //! A key pressed where the keyboard is, as a user presses it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, key, modifiers);
        QCoreApplication::processEvents();
    }

    //! A click on the row's path cell.
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, FileList::FilePath));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

    QList<int> ticked() const
    {
        QList<int> rows;
        for (int row = 0; row < window.currentList()->count(); ++row)
            if (window.currentList()->at(row).CheckBox != 0)
                rows << row;
        return rows;
    }

    QStringList listed() const
    {
        QStringList paths;
        for (const filelist::FileListRow& row : window.currentList()->rows())
            paths << row.path;
        return paths;
    }

    ScriptedDesktop desktop;
    QuietWindow window{desktop};
};

TEST_F(WindowKeys, AClickSelectsWholeRowsShiftAndCtrlExtendAndCtrlASelectsAll)
{
    clickRow(1);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1}));
    clickRow(3, Qt::ShiftModifier);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1, 2, 3}));
    clickRow(2, Qt::ControlModifier);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1, 3}));
    press(Qt::Key_Up);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1}));
    press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1, 2}));
    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid()->selectedRows(), QList<int>({0, 1, 2, 3}));
    EXPECT_TRUE(ticked().isEmpty()) << "selecting ticks nothing";
}

TEST_F(WindowKeys, SpaceTicksTheSelectedRowsAndUnticksThemWhenAllAreTicked)
{
    window.currentList()->setCell(2, FileList::CheckBox, 1);
    clickRow(1);
    clickRow(2, Qt::ShiftModifier);
    press(Qt::Key_Space);
    EXPECT_EQ(ticked(), QList<int>({1, 2}));
    press(Qt::Key_Space);
    EXPECT_TRUE(ticked().isEmpty());

    // The ticks are what Remove Selected and Convert Selected go by.
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Space);
    EXPECT_EQ(ticked(), QList<int>({0, 1, 2, 3}));
    EXPECT_TRUE(convert::ConversionBatch::convertsOnConvertSelected(window.currentList()->at(3)));
    window.filesPanel->cmdRemove->click();
    EXPECT_EQ(window.currentList()->count(), 0);
}

TEST_F(WindowKeys, DeleteRemovesTheSelectedRowsAskingFirstWhenSeveral)
{
    clickRow(1);
    press(Qt::Key_Delete);
    EXPECT_TRUE(desktop.boxes.isEmpty()) << "one row goes without a question";
    EXPECT_EQ(listed(), QStringList({QStringLiteral("/music/a.wav"), QStringLiteral("/music/c.wav"),
                                     QStringLiteral("/music/d.wav")}));
    // The keyboard goes on from the row that took its place.
    EXPECT_EQ(grid()->selectedRows(), QList<int>({1}));

    press(Qt::Key_A, Qt::ControlModifier);
    desktop.answers.push_back(platform::Desktop::Answer::No);
    press(Qt::Key_Delete);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, QStringLiteral("Remove the 3 selected files from the list?"));
    EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::YesNo);
    EXPECT_EQ(window.currentList()->count(), 3) << "No keeps them";

    desktop.answers.push_back(platform::Desktop::Answer::Yes);
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Delete);
    EXPECT_EQ(window.currentList()->count(), 0);
}

TEST_F(WindowKeys, DeleteDoesNothingWhileRemoveSelectedIsDisabledByABatch)
{
    clickRow(0);
    window.filesPanel->cmdRemove->setEnabled(false); // as the batch disables it
    press(Qt::Key_Delete);
    EXPECT_EQ(window.currentList()->count(), 4);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(WindowKeys, EnterPlaysTheSelectedRowWhenPlayIsEnabled)
{
    clickRow(2);
    press(Qt::Key_Return);
    EXPECT_EQ(window.playerPanel->player().sPlayerFile(), QStringLiteral("/music/c.wav"));
    clickRow(0);
    window.playerPanel->cmdPlay->setEnabled(false);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window.playerPanel->player().sPlayerFile(), QStringLiteral("/music/c.wav")) << "Play is disabled";
    window.playerPanel->cmdPlay->setEnabled(true);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window.playerPanel->player().sPlayerFile(), QStringLiteral("/music/a.wav"));
}

TEST_F(WindowKeys, TheGridIsOneTabStop)
{
    clickRow(0);
    press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), grid()) << "one Tab leaves the grid";
    EXPECT_EQ(grid()->selectedRows(), QList<int>({0}));
    press(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), grid()) << "and Shift+Tab comes back";
}

// Tab goes through the controls in reading order, line by line from the
// top and along each line from the left, on the main panel and on every
// page of the options panel.
TEST_F(WindowKeys, TheTabKeyFollowsReadingOrder)
{
    // The stops Tab makes from `first` until it comes back, in the window's coordinates.
    const auto stops = [this](QWidget* first) {
        first->setFocus();
        QCoreApplication::processEvents();
        QList<std::pair<QString, QRect>> seen;
        for (int i = 0; i < 100; ++i) {
            QWidget* at = QApplication::focusWidget();
            if (!at || (!seen.isEmpty() && at == first))
                break;
            seen.append({at->objectName(), QRect(at->mapTo(&window, QPoint(0, 0)), at->size())});
            press(Qt::Key_Tab);
        }
        return seen;
    };
    const auto expectReadingOrder = [](const QList<std::pair<QString, QRect>>& seen, const char* where) {
        ASSERT_GT(seen.size(), 3) << where;
        for (qsizetype i = 1; i < seen.size(); ++i) {
            const QRect a = seen[i - 1].second;
            const QRect b = seen[i].second;
            const bool sameLine = a.top() <= b.center().y() && b.center().y() <= a.bottom();
            EXPECT_TRUE(sameLine ? b.left() > a.left() : b.top() > a.top())
                << where << ": " << seen[i - 1].first.toStdString() << " " << a.x() << "," << a.y() << " then "
                << seen[i].first.toStdString() << " " << b.x() << "," << b.y();
        }
    };
    expectReadingOrder(stops(window.ComboLang), "main panel");

    // The options panel up, as the slide leaves it, the main panel disabled.
    window.frMain->setEnabled(false);
    window.frFormats->move(window.frFormats->x(), 2715 / 15);
    window.frFormats->show();
    window.frFormats->raise();
    options::FormatOptions& formats = window.formatOptions();
    for (int page = 0; page < options::FormatOptions::kFormatCount; ++page) {
        formats.optFileFormat(page).click();
        QCoreApplication::processEvents();
        expectReadingOrder(stops(window.ComboLang), // the language box stays usable above the panel
                           qPrintable(QStringLiteral("options page %1").arg(page)));
    }
}

// What a screen reader finds, walking the accessible tree of the window and
// of every page of the options panel: each control it can use has a name,
// and the role it is (the slider control a slider with its value and
// range, option buttons radio buttons); the grid names its cells, a
// converting row's status by its percentage.
TEST_F(WindowKeys, EveryControlHasANameAndItsRole)
{
    static const QSet<QAccessible::Role> kControls = {
        QAccessible::PushButton,   QAccessible::CheckBox,       QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox,        QAccessible::Slider,      QAccessible::Table,
        QAccessible::ButtonMenu,   QAccessible::ButtonDropDown, QAccessible::Link};
    QStringList faults;
    int sliders = 0;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (!node || !node->isValid() || node->state().invisible)
            return;
        const QString name = node->text(QAccessible::Name).trimmed();
        QWidget* widget = qobject_cast<QWidget*>(node->object());
        const QString what = widget
                                 ? widget->objectName() + u' ' + QString::fromLatin1(widget->metaObject()->className())
                                 : QStringLiteral("a part of role %1").arg(node->role());
        if (kControls.contains(node->role()) && name.isEmpty())
            faults << what + QStringLiteral(" has no name");
        if (qobject_cast<QRadioButton*>(widget) && node->role() != QAccessible::RadioButton)
            faults << what + QStringLiteral(" is no radio button");
        if (auto* slider = qobject_cast<controls::SliderWidget*>(widget)) {
            ++sliders;
            QAccessibleValueInterface* value = node->valueInterface();
            if (node->role() != QAccessible::Slider || !value) {
                faults << what + QStringLiteral(" is no slider");
            } else {
                EXPECT_EQ(value->minimumValue().toInt(), slider->Min()) << qPrintable(what);
                EXPECT_EQ(value->maximumValue().toInt(), slider->Max()) << qPrintable(what);
                EXPECT_EQ(value->minimumStepSize().toInt(), 1) << qPrintable(what);
                value->setCurrentValue(slider->Min());
                EXPECT_EQ(slider->Value(), slider->Min()) << qPrintable(what);
                EXPECT_EQ(value->currentValue().toInt(), slider->Min()) << qPrintable(what);
            }
        }
        if (node->role() == QAccessible::Table)
            return; // its cells are looked at below
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&window));

    window.frMain->setEnabled(false);
    window.frFormats->move(window.frFormats->x(), 2715 / 15);
    window.frFormats->show();
    options::FormatOptions& formats = window.formatOptions();
    for (int page = 0; page < options::FormatOptions::kFormatCount; ++page) {
        formats.optFileFormat(page).click();
        QCoreApplication::processEvents();
        walk(QAccessible::queryAccessibleInterface(window.frFormats));
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_GE(sliders, 6); // WMA, MP3 twice, OGG, FLAC, Opus, AAC

    window.currentList()->setProgress(1, 26.50171f);
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid())->tableInterface();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->cellAt(1, FileList::Status)->text(QAccessible::Name), QStringLiteral("27%"));
    EXPECT_EQ(table->cellAt(1, FileList::CheckBox)->text(QAccessible::Name), QStringLiteral("b.wav"));
    EXPECT_EQ(table->cellAt(1, FileList::FilePath)->text(QAccessible::Name), QStringLiteral("/music/b.wav"));
    EXPECT_EQ(table->columnDescription(FileList::Status), QStringLiteral("Conversion Status"));
}

TEST_F(WindowKeys, EscapeClosesTheOpenPanelThroughItsClosingButton)
{
    const auto waitParked = [this] {
        return QTest::qWaitFor([this] { return window.panelSlide->state().isParked(); }, 5000);
    };
    window.cmdChangeFormat_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window.panelSlide->state().timerRunning(); }, 5000));
    window.frFormats->cmdHide->setFocus();
    press(Qt::Key_Escape);
    EXPECT_TRUE(waitParked());
    EXPECT_TRUE(window.frMain->isEnabled());

    window.cmdAbout_Click();
    QTest::qWait(30); // still going up: Escape sends it back from where it is
    press(Qt::Key_Escape);
    EXPECT_TRUE(waitParked());
    EXPECT_TRUE(window.frMain->isEnabled());

    // With no panel up Escape changes nothing.
    grid()->setFocus();
    press(Qt::Key_Escape);
    EXPECT_TRUE(window.panelSlide->state().isParked());
    EXPECT_TRUE(window.isVisible());
}

// Under the name pattern, the name the first listed row would get (a sample
// song's while the list is empty); "Save && Close" keeps the panel up while
// the pattern cannot be used, listing every problem at once.
TEST(NamePattern, TheExampleLineAndSaveAndCloseCheckThePattern)
{
    QTemporaryDir media;
    const QString tagged = media.filePath(QStringLiteral("tagged.flac"));
    ASSERT_TRUE(
        testsupport::makeTone(tagged, 1, 44100, 2,
                              {QStringLiteral("-metadata"), QStringLiteral("artist=Band"), QStringLiteral("-metadata"),
                               QStringLiteral("album=Disc"), QStringLiteral("-metadata"), QStringLiteral("title=Song"),
                               QStringLiteral("-metadata"), QStringLiteral("track=3")}));
    ASSERT_TRUE(engine::InitDecodingEngine()); // the tag reader opens files with it
    ScriptedDesktop desktop;
    QuietWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    window.show();
    options::FormatOptions& o = window.formatOptions();
    options::FormatsPanel* panel = window.frFormats;
    o.chkNamePattern.setValue(true);
    const auto example = [panel] { return panel->lblNameExample->toolTip(); };

    window.cmdChangeFormat_Click();
    EXPECT_EQ(example(), QStringLiteral("Example: Artist/Album Title/01 - Title.mp3"));
    EXPECT_EQ(panel->lblNameExample->text(), example()) << "it fits: not shortened";
    o.txtNamePattern.setText(QStringLiteral("{artist} - {title}"));
    o.optFileFormat(options::FormatOptions::WAV).click();
    EXPECT_EQ(example(), QStringLiteral("Example: Artist - Title.wav"));
    EXPECT_TRUE(panel->lblNameExample->isEnabled());
    o.chkNamePattern.setValue(false);
    EXPECT_FALSE(panel->lblNameExample->isEnabled()) << "greyed with its pattern";
    o.chkNamePattern.setValue(true);

    // The first row's own tags, from the next time the panel opens.
    window.addFiles({tagged});
    o.txtNamePattern.setText(QStringLiteral("{artist}/{album}/{track:02} - {title}"));
    EXPECT_EQ(example(), QStringLiteral("Example: Band/Disc/03 - Song.wav"));

    // A pattern that cannot be used says why under it, and keeps the panel up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.panelSlide->state().timerRunning(); }, 5000));
    o.txtNamePattern.setText(QStringLiteral("{nope}/{title"));
    EXPECT_EQ(example(), QStringLiteral("The pattern for output names holds an unknown field: {nope}"));
    panel->cmdHide->click();
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text,
              QStringLiteral("The pattern for output names can not be used:\n\n"
                             "\u2022 The pattern for output names holds an unknown field: {nope}\n"
                             "\u2022 The pattern for output names has a \"{\" or \"}\" without its partner."));
    EXPECT_FALSE(window.panelSlide->state().timerRunning()) << "the panel stays up";
    EXPECT_FALSE(window.frMain->isEnabled());

    // Mended, it closes; unticked, any pattern does.
    o.txtNamePattern.setText(QStringLiteral("{title}"));
    panel->cmdHide->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.panelSlide->state().isParked(); }, 5000));
    EXPECT_EQ(desktop.boxes.size(), 1);

    // The pattern's long tooltip wraps; the most conversions at once are shown.
    EXPECT_TRUE(panel->txtNamePattern->toolTip().startsWith(QLatin1String("<qt>")));
    EXPECT_EQ(panel->lblSimultaneousMax->text(),
              QStringLiteral("(at most %1)")
                  .arg(options::FormatOptions::processorCount() > 1 ? options::FormatOptions::processorCount()
                                                                    : o.sliderSimultaneous.Max()));
}

// "Keep the folder structure" means nothing beside the inputs: with "Same
// folder as input file" it is disabled, and reads so.
TEST(OutputFolder, SameFolderDisablesKeepTheFolderStructureVisibly)
{
    ScriptedDesktop desktop;
    QuietWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    window.show();
    QCheckBox* keepTree = window.folderWidget->chkKeepTree;
    window.folderWidget->optSameFolder->click();
    EXPECT_FALSE(keepTree->isEnabled());
    const QPalette colours = keepTree->palette();
    EXPECT_NE(colours.color(QPalette::Disabled, QPalette::WindowText),
              colours.color(QPalette::Active, QPalette::WindowText));
    window.folderWidget->optOtherFolder->click();
    EXPECT_TRUE(keepTree->isEnabled());
}

// The size, place and maximised state of the window come back at the next start.
TEST(WindowPlace, SizePlaceAndMaximisedStateAreKeptForTheUser)
{
    ScriptedDesktop desktop;
    platform::setUserValue(QStringLiteral("Window/Geometry"), QVariant());
    {
        QuietWindow first(desktop);
        ASSERT_TRUE(first.Form_Load());
        first.restoreWindowPlace(); // nothing kept yet: the design size
        first.show();
        EXPECT_EQ(first.size(), app::MainWindow::designSize());
        first.setGeometry(QRect(QPoint(20, 20), QSize(770, 580)));
        QCoreApplication::processEvents();
        first.close();
    }
    {
        QuietWindow second(desktop);
        ASSERT_TRUE(second.Form_Load());
        second.restoreWindowPlace();
        second.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(second.geometry(), QRect(QPoint(20, 20), QSize(770, 580)));
        second.cmdMaximize_Click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(second.isMaximized());
        EXPECT_EQ(second.cmdMaximize->toolTip(), QStringLiteral("Restore"));
        second.close();
    }
    QuietWindow third(desktop);
    ASSERT_TRUE(third.Form_Load());
    third.restoreWindowPlace();
    third.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(third.isMaximized());
    third.cmdMaximize_Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(third.isMaximized());
    EXPECT_EQ(third.size(), QSize(770, 580)) << "back to the size it had";
    EXPECT_EQ(third.cmdMaximize->toolTip(), QStringLiteral("Maximize"));
}

} // namespace
