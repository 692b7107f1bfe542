#pragma once

#include <QComboBox>
#include <QImage>
#include <QList>

namespace platform {
class Desktop;
}

namespace lang {

//! The language box `ComboLang`: one entry per language file of the language
//! folder, each with the flag of the same position in its image list
//! (`ImageList1`). An entry shows the language in its own words, as its file
//! names it (text 10280: "Deutsch", "日本語"), or the file's name when the
//! file does not; the entry stands for the file's display name (its name up
//! to ".ini"). It only shows the choice: the window applies it when the user
//! picks an entry (activated()).
class LanguageBoxWidget : public QComboBox {
    Q_OBJECT
public:
    //! Size of the flag pictures in the box, in pixels.
    static constexpr int kFlagWidth = 16;
    static constexpr int kFlagHeight = 11;

    explicit LanguageBoxWidget(platform::Desktop& desktop, QWidget* parent = nullptr);

    //! Fills the image list and the box from the language files and flag
    //! bitmaps of `folder`, marking the entry of the current language file
    //! (letter case ignored). A picture that cannot be loaded is reported in
    //! a message box and ends the listing. True when a language was listed.
    bool LoadLanguageList(const QString& folder);

    //! Selects the entry whose file name is the current language file exactly
    //! (letter case counts), or the first entry when none is.
    void SelectCurrentLanguage();

    //! The display name (the file's name up to ".ini") of entry `index`.
    QString displayName(int index) const;
    //! The entry of the display name `name`; -1 when none.
    int findLanguage(const QString& name) const;

    //! The language file of the selected entry, named as the folder has it.
    QString selectedLanguageFile() const;

    //! The flag pictures, in folder listing order.
    const QList<QImage>& ImageList1() const { return m_images; }

private:
    platform::Desktop& m_desktop;
    QList<QImage> m_images;
};

} // namespace lang
