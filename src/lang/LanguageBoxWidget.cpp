#include "lang/LanguageBoxWidget.h"

#include "lang/LanguageFolder.h"
#include "lang/ProfileReader.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace lang {

namespace {

// A language's name is short; the lookup's own limit applies.
constexpr qsizetype kNameBufferSize = 500;

} // namespace

LanguageBoxWidget::LanguageBoxWidget(platform::Desktop& desktop, QWidget* parent)
    : QComboBox(parent), m_desktop(desktop)
{
    setObjectName(QStringLiteral("ComboLang"));
    setIconSize(QSize(kFlagWidth, kFlagHeight));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
}

bool LanguageBoxWidget::LoadLanguageList(const QString& folder)
{
    clear();
    m_images.clear();
    const LanguageListing listing =
        LanguageFolder::list(folder, sLanguageFile, [this](const QString& path, QString& failure) {
            QImageReader reader(path);
            const QImage image = reader.read();
            if (image.isNull()) {
                failure = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reader.errorString());
                return false;
            }
            m_images.append(image);
            return true;
        });

    for (const LanguageEntry& entry : listing.entries) {
        // The language in its own words, read from its own file.
        const QString ownName =
            ProfileReader::readString(folder + entry.fileName, QStringLiteral("Tonemill"),
                                      idText(StringId::LanguageName), entry.displayName, kNameBufferSize);
        const QString shown = ownName.trimmed().isEmpty() ? entry.displayName : ownName.trimmed();
        // An entry whose position has no picture shows its name alone.
        const int image = entry.image - 1;
        if (image < m_images.size())
            addItem(QIcon(QPixmap::fromImage(m_images[image])), shown, entry.fileName);
        else
            addItem(shown, entry.fileName);
    }
    if (listing.marked >= 0)
        setCurrentIndex(listing.marked);
    if (!listing.failure.isEmpty())
        m_desktop.messageBox(listing.failure, caption(StringId::ProductName), platform::Desktop::Icon::None,
                             platform::Desktop::Buttons::Ok);
    return !listing.entries.isEmpty();
}

void LanguageBoxWidget::SelectCurrentLanguage()
{
    int selected = 0;
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toString() == sLanguageFile)
            selected = i;
    setCurrentIndex(count() > 0 ? selected : -1);
}

QString LanguageBoxWidget::displayName(int index) const
{
    return LanguageFolder::displayName(itemData(index).toString());
}

int LanguageBoxWidget::findLanguage(const QString& name) const
{
    for (int i = 0; i < count(); ++i)
        if (displayName(i) == name)
            return i;
    return -1;
}

QString LanguageBoxWidget::selectedLanguageFile() const
{
    const QString file = currentData().toString();
    return file.isEmpty() ? currentText() + QStringLiteral(".ini") : file;
}

} // namespace lang
