#include "QuietWindow.h"
#include "app/MainWindow.h"
#include "filelist/FileList.h"
#include "lang/LanguageBoxWidget.h"
#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/FormatsPanel.h"
#include "support/ProgramFolderEnvironment.h"
#include "support/ScriptedDesktop.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

// Every word of the window in the language chosen: the language box names
// each language in its own words, Qt's own texts follow the choice, and in
// German no English text is left on any page.

namespace {

using testsupport::ScriptedDesktop;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new testsupport::ProgramFolderEnvironment(true));

using testsupport::QuietWindow;

void choose(app::MainWindow& window, const QString& language)
{
    const int index = window.ComboLang->findLanguage(language);
    ASSERT_GE(index, 0) << language.toStdString();
    window.ComboLang->setCurrentIndex(index);
    Q_EMIT window.ComboLang->activated(index);
}

// Where a widget sits: the object names from the window down, with the
// position among its siblings for those without a name of their own.
QString placeOf(const QObject* object)
{
    QStringList names;
    for (const QObject* o = object; o && o->parent(); o = o->parent()) {
        const QString name = o->objectName();
        names.prepend(name.isEmpty() ? QString::number(o->parent()->children().indexOf(o)) : name);
    }
    return names.join(u'/');
}

// Every text the window shows, by where it is shown: captions, list items,
// placeholders, tooltips, panel titles and the grid's headers, on every page
// (shown or not).
QMap<QString, QString> shownTexts(const QWidget& window)
{
    QMap<QString, QString> texts;
    const auto note = [&texts](const QString& place, const QString& text) {
        if (!text.trimmed().isEmpty())
            texts.insert(place, text);
    };
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (const QWidget* widget : widgets) {
        const QString place = placeOf(widget);
        note(place + QStringLiteral("#tip"), widget->toolTip());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            note(place, label->text());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            note(place, button->text());
        } else if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
            note(place + QStringLiteral("#placeholder"), box->placeholderText());
        } else if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                note(place + QStringLiteral("#%1").arg(i), list->itemText(i));
        } else if (const auto* grid = qobject_cast<const QTableView*>(widget)) {
            for (int column = 0; grid->model() && column < grid->model()->columnCount(); ++column)
                if (!grid->isColumnHidden(column))
                    note(place + QStringLiteral("#header%1").arg(column),
                         grid->model()->headerData(column, Qt::Horizontal).toString());
        } else {
            note(place + QStringLiteral("#title"), widget->property("text").toString()); // a panel's header
        }
    }
    return texts;
}

TEST(Translation, TheLanguageBoxNamesEachLanguageInItsOwnWords)
{
    lang::rememberLanguageFile(QStringLiteral("English.ini"));
    ScriptedDesktop desktop;
    QuietWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    QStringList shown;
    for (int i = 0; i < window.ComboLang->count(); ++i)
        shown << window.ComboLang->itemText(i);
    EXPECT_EQ(shown, QStringList({QStringLiteral("English"), QStringLiteral("Français"), QStringLiteral("Deutsch"),
                                  QStringLiteral("Italiano"), QStringLiteral("日本語"), QStringLiteral("Polski"),
                                  QStringLiteral("Português (Brasil)"), QStringLiteral("Español")}));
    choose(window, QStringLiteral("German"));
    EXPECT_EQ(lang::sLanguageFile, QStringLiteral("German.ini"));
    EXPECT_EQ(lang::storedLanguageFile(), QStringLiteral("German.ini"));
    choose(window, QStringLiteral("English"));
}

TEST(Translation, QtsOwnTextsFollowTheLanguage)
{
    lang::rememberLanguageFile(QStringLiteral("English.ini"));
    ScriptedDesktop desktop;
    QuietWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    const auto yes = [] {
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
        return box.button(QDialogButtonBox::Yes)->text();
    };
    EXPECT_EQ(yes(), QStringLiteral("&Yes"));
    const struct {
        const char* language;
        const char* yes;
    } cases[] = {{"German", "&Ja"}, {"French", "&Oui"}, {"Polish", "&Tak"}, {"English", "&Yes"}};
    for (const auto& c : cases) {
        choose(window, QString::fromLatin1(c.language));
        EXPECT_EQ(yes(), QString::fromUtf8(c.yes)) << c.language;
    }
}

// Texts that read the same in German as in English: names, numbers, the
// formats, and words German shares.
bool sameInGerman(const QString& place, const QString& text)
{
    static const QStringList kSame = {
        QStringLiteral("Tonemill"), QStringLiteral("WAV"),      QStringLiteral("WMA"),
        QStringLiteral("MP3"),      QStringLiteral("OGG"),      QStringLiteral("FLAC"),
        QStringLiteral("Opus"),     QStringLiteral("AAC"),      QStringLiteral("Pause"),
        QStringLiteral("Mono"),     QStringLiteral("Stereo"),   QStringLiteral("Variable Bitrate (VBR):"),
        QStringLiteral("?"),        QStringLiteral("_"),        QStringLiteral("X"),
        QStringLiteral("Genre"),    QStringLiteral("Bitrate:"), QStringLiteral("Copyright"),
    };
    if (kSame.contains(text))
        return true;
    // Figures ("5", "128 kbit/s" reads "128 Kbps" only in English), the
    // maximise button's sign and the user's own texts.
    bool number = false;
    QString(text).remove(QStringLiteral(" LUFS")).toInt(&number); // the loudness unit is the standard's

    if (number || text.size() == 1)
        return true;
    // The language box names each language in its own words, whatever the
    // language shown; the about panel's maker, notice, version and web site
    // are fixed texts.
    const QString widget = place.section(u'#', 0, 0);
    for (const char* own : {"txtOutPath", "txtNamePattern", "ComboLang", "Label37", "Label40", "lblWebSite", "lblVer"})
        if (widget.endsWith(QLatin1String(own)))
            return true;
    return false;
}

TEST(Translation, NoEnglishIsLeftOnAnyPageInGerman)
{
    lang::rememberLanguageFile(QStringLiteral("English.ini"));
    ScriptedDesktop desktop;
    QuietWindow window(desktop);
    ASSERT_TRUE(window.Form_Load());
    filelist::FileListRow row;
    row.path = QStringLiteral("/music/a.wav");
    row.state = filelist::RowState::NotSupported;
    row.bytes = 961884;
    ASSERT_TRUE(window.currentList()->append(row));
    window.currentList()->setReason(0, filelist::RowReason::words(QStringLiteral("Can't Open the File")));
    window.frFormats->showNameExample(); // as opening the panel does
    const QMap<QString, QString> english = shownTexts(window);
    const QString englishReason = window.currentList()->statusReason(0);

    choose(window, QStringLiteral("German"));
    const QMap<QString, QString> german = shownTexts(window);
    EXPECT_EQ(german.size(), english.size());
    QStringList left;
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        const QString shown = german.value(it.key());
        if (shown == it.value() && !sameInGerman(it.key(), shown))
            left << it.key() + QStringLiteral(": ") + shown;
    }
    EXPECT_TRUE(left.isEmpty()) << "English left in German:\n" << left.join(u'\n').toStdString();

    // The row's words too: its status, the engine's reason and its size as
    // German writes numbers (an unopenable file has no length to show).
    const filelist::FileList& list = *window.currentList();
    EXPECT_EQ(list.cell(0, filelist::FileList::Status).toString(), QStringLiteral("Codec nicht unterstützt"));
    EXPECT_EQ(list.cell(0, filelist::FileList::Duration).toString(), QString());
    EXPECT_EQ(list.cell(0, filelist::FileList::FileSize).toString(), QStringLiteral("939,34 KB"));
    EXPECT_EQ(englishReason, QStringLiteral("Can't Open the File"));
    EXPECT_EQ(list.statusReason(0), QStringLiteral("Die Datei kann nicht geöffnet werden"));
    // Back in English, every text is as it was.
    choose(window, QStringLiteral("English"));
    const QMap<QString, QString> again = shownTexts(window);
    QStringList changed;
    for (auto it = english.cbegin(); it != english.cend(); ++it)
        if (again.value(it.key()) != it.value())
            changed << it.key() + QStringLiteral(": ") + it.value() + QStringLiteral(" -> ") + again.value(it.key());
    EXPECT_TRUE(changed.isEmpty()) << changed.join(u'\n').toStdString();
    EXPECT_EQ(again.size(), english.size());
}

} // namespace
