#include "QuietWindow.h"
#include "app/AboutPanel.h"
#include "app/MainWindow.h"
#include "controls/LineWidget.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertPanel.h"
#include "filelist/FileList.h"
#include "filelist/GridView.h"
#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "support/Fixtures.h"
#include "support/ProgramFolderEnvironment.h"
#include "support/ScriptedDesktop.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

// Walks every widget of the main panel, of each page of the options panel and
// of the about panel, in every language file shipped in Lang/ (or only in the
// one named by TONEMILL_LAYOUT_LANGUAGE), and reports visible sibling widgets
// that overlap, widgets that stick out of their parent, and labels, buttons
// and check boxes whose text does not fit. ctest also runs it at the scale
// factors 1.25 and 1.5.

namespace {

using testsupport::ScriptedDesktop;

auto* const kEnvironment = static_cast<testsupport::ProgramFolderEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::ProgramFolderEnvironment(true)));

// The window without a sound device: the engine step succeeds without
using testsupport::QuietWindow;

QString describe(const QWidget* widget)
{
    QString text;
    QDebug(&text).noquote().nospace() << widget->objectName() << ' ' << widget->geometry();
    return text;
}

QString shownText(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return {};
}

// Controls whose children are their own business (scroll areas, lists,
// text boxes) are checked as a whole.
bool isLeafControl(const QWidget* widget)
{
    return qobject_cast<const QAbstractScrollArea*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QLabel*>(widget);
}

// An opaque sibling that holds the other's whole place hides it (the WMA
// download notice over the WMA page).
bool covers(const QWidget* over, const QWidget* under)
{
    return over->autoFillBackground() && over->geometry().contains(under->geometry());
}

// The width a one-line label's text takes, rich text (a link) as shown.
int shownWidth(const QLabel* label)
{
    if (label->textFormat() != Qt::RichText &&
        !(label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
        return label->fontMetrics().horizontalAdvance(label->text());
    QTextDocument document;
    document.setDefaultFont(label->font());
    document.setDocumentMargin(0);
    document.setHtml(label->text());
    return int(std::ceil(document.idealWidth()));
}

void checkText(const QWidget* widget, QStringList& faults)
{
    if (shownText(widget).isEmpty())
        return;
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const int width = label->contentsRect().width();
        const bool fits =
            label->wordWrap() ? label->heightForWidth(label->width()) <= label->height() : shownWidth(label) <= width;
        if (!fits)
            faults << QStringLiteral("text of %1 does not fit: \"%2\"").arg(describe(label), label->text());
        return;
    }
    const QSize needed = widget->minimumSizeHint();
    if (needed.width() > widget->width() || needed.height() > widget->height())
        faults << QStringLiteral("text of %1 does not fit (needs %2x%3): \"%4\"")
                      .arg(describe(widget))
                      .arg(needed.width())
                      .arg(needed.height())
                      .arg(shownText(widget));
}

void collectFaults(const QWidget* parent, QStringList& faults)
{
    QList<const QWidget*> shown;
    for (const QObject* child : parent->children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && !widget->isWindow() && widget->isVisible())
            shown << widget;
    }
    QList<const QWidget*> hidden;
    for (const QWidget* a : shown) {
        for (const QWidget* b : shown) {
            if (a != b && covers(b, a) && parent->children().indexOf(b) > parent->children().indexOf(a))
                hidden << a;
        }
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QWidget* a = shown[i];
        if (hidden.contains(a))
            continue;
        if (!parent->rect().contains(a->geometry()))
            faults << QStringLiteral("%1 sticks out of %2").arg(describe(a), describe(parent));
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QWidget* b = shown[j];
            const bool lines = qobject_cast<const controls::LineWidget*>(a) &&
                               qobject_cast<const controls::LineWidget*>(b); // lines may meet
            // The language box sits in the main panel's title strip by design.
            const auto names = [a, b](const char* x, const char* y) {
                return a->objectName() == QLatin1String(x) && b->objectName() == QLatin1String(y);
            };
            const bool languageBox = names("frMain", "ComboLang") || names("ComboLang", "frMain");
            if (!hidden.contains(b) && !lines && !languageBox && a->geometry().intersects(b->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(a), describe(b));
        }
        checkText(a, faults);
        if (!isLeafControl(a))
            collectFaults(a, faults);
    }
}

// The grid's columns hold their captions and, in the status column, every
// status a row can show.
void checkGridColumns(const filelist::GridView* grid, QStringList& faults)
{
    const int cellMargins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 4;
    const auto need = [&](int column, const QString& text, const QFontMetrics& metrics) {
        if (metrics.horizontalAdvance(text) + cellMargins > grid->columnWidth(column))
            faults << QStringLiteral("grid column %1 (%2 px) cuts \"%3\"")
                          .arg(column)
                          .arg(grid->columnWidth(column))
                          .arg(text);
    };
    for (int column = filelist::FileList::FilePath; column < filelist::FileList::kColumnCount; ++column)
        need(column, grid->model()->headerData(column, Qt::Horizontal).toString(),
             grid->horizontalHeader()->fontMetrics());
    using lang::StringId;
    for (const StringId status : {StringId::WaitingConversion, StringId::CodecNotSupported, StringId::Complete,
                                  StringId::Cancelled, StringId::Error, StringId::Skipped})
        need(filelist::FileList::Status, lang::caption(status), grid->fontMetrics());
}

QStringList languagesToCheck()
{
    const QString only = qEnvironmentVariable("TONEMILL_LAYOUT_LANGUAGE");
    if (!only.isEmpty())
        return {only};
    return QDir(kEnvironment->home() + QStringLiteral("/Lang")).entryList({QStringLiteral("*.ini")}, QDir::Files);
}

// Opens a sliding panel where the slide ends, without the slide, and checks
// it: it lies over the (disabled) main panel, centred, and must fit in the
// window.
QStringList openPanelFaults(QWidget* window, QWidget* panel)
{
    const int below = (window->height() - app::MainWindow::designSize().height()) / 2;
    panel->move(panel->x(), below + 2715 / 15);
    panel->show();
    panel->raise();
    QCoreApplication::processEvents();
    QStringList faults;
    if (!window->rect().contains(panel->geometry()))
        faults << QStringLiteral("%1 sticks out of the window").arg(describe(panel));
    if (std::abs(panel->geometry().center().x() - window->rect().center().x()) > 1)
        faults << QStringLiteral("%1 is not centred in the window").arg(describe(panel));
    collectFaults(panel, faults);
    return faults;
}

// Fills the texts that change as the window is used with the longest each
// can be: the end of a batch with every count at its most and outputs in
// several folders, and the format summary with its longest choices.
void fillDynamicTexts(QuietWindow& window)
{
    convert::ConversionBatch::Summary summary;
    summary.converted = summary.failed = summary.stopped = summary.skipped = filelist::FileList::kMaxRows;
    summary.outputFolders = {QStringLiteral("/music/a"), QStringLiteral("/music/b")};
    window.convertPanel->showSummary(summary);
    options::FormatOptions& formats = window.formatOptions();
    formats.optFileFormat(options::FormatOptions::MP3).click();
    formats.optMP3ABR.click();
    EXPECT_TRUE(formats.cmbMP3StereoMode.setListIndex(3)); // "Forced Joint Stereo"
    EXPECT_TRUE(formats.cmbMP3Freq.setListIndex(2));       // "11.025 KHz"
    formats.chkNamePattern.setValue(true);
    formats.UpdateFormatSummary();
    QCoreApplication::processEvents();
}

void checkWindow(QuietWindow& window)
{
    QStringList faults;
    fillDynamicTexts(window);
    collectFaults(&window, faults);
    const auto* grid = window.findChild<filelist::GridView*>(QStringLiteral("Grid"));
    checkGridColumns(grid, faults);
    // The header reaches the grid's right edge.
    const QHeaderView* header = grid->horizontalHeader();
    if (header->length() != header->width())
        faults << QStringLiteral("the grid's header is %1 px of %2").arg(header->length()).arg(header->width());
    // "Convert All" keeps the bottom-right corner, where a user (and a script) finds it.
    const auto* convert = window.findChild<QWidget*>(QStringLiteral("cmdConvert"));
    const QPoint corner = convert->mapTo(&window, QPoint(convert->width(), convert->height()));
    if (window.width() - corner.x() > 16 || window.height() - corner.y() > 16)
        faults << QStringLiteral("Convert All ends at %1,%2").arg(corner.x()).arg(corner.y());
    EXPECT_TRUE(faults.isEmpty()) << "main panel:\n" << faults.join(u'\n').toStdString();

    options::FormatOptions& formats = window.formatOptions();
    for (int page = 0; page <= options::FormatOptions::kFormatCount; ++page) {
        const bool notice = page == options::FormatOptions::kFormatCount;
        formats.optFileFormat(notice ? options::FormatOptions::WMA : page).click();
        formats.setWmaNoticeVisible(notice);
        faults = openPanelFaults(&window, window.frFormats);
        EXPECT_TRUE(faults.isEmpty()) << "options page " << page << ":\n" << faults.join(u'\n').toStdString();
    }
    formats.setWmaNoticeVisible(false);
    window.frFormats->hide();

    faults = openPanelFaults(&window, window.frAbout);
    EXPECT_TRUE(faults.isEmpty()) << "about panel:\n" << faults.join(u'\n').toStdString();
    window.frAbout->hide();
}

// The window at its least size (the design size) and at a large one: every
// page of every language keeps its layout, the grid takes the extra room and
// "Convert All" stays in the window's bottom-right corner.
TEST(WindowLayout, NothingOverlapsOrIsCutOffOnAnyPageInAnyShippedLanguage)
{
    const QStringList languages = languagesToCheck();
    ASSERT_FALSE(languages.isEmpty()) << "no language file in Lang/";
    for (const QString& language : languages) {
        SCOPED_TRACE(language.toStdString());
        lang::rememberLanguageFile(language);
        ScriptedDesktop desktop;
        QuietWindow window(desktop);
        ASSERT_TRUE(window.Form_Load());
        window.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(window.minimumSize(), app::MainWindow::designSize());

        for (const QSize size : {app::MainWindow::designSize(), QSize(1600, 1000)}) {
            SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
            window.resize(size);
            QCoreApplication::processEvents();
            ASSERT_EQ(window.size(), size);
            checkWindow(window);
        }
    }
}

} // namespace
