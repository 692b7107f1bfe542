#pragma once

#include "options/ButtonState.h"
#include "options/CheckBoxState.h"
#include "options/LabelState.h"
#include "options/ListState.h"
#include "options/OptionButtonState.h"
#include "options/OptionGroup.h"
#include "options/SliderState.h"
#include "options/TextState.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace platform {
class Desktop;
}

namespace options {

//! The output format, its encoding options and the output folder: the state
//! of every option control, the rules that keep their enabled states
//! consistent and the one-line format summary. The widgets show and edit this
//! state; the encoder paths, the settings store and the command line read and
//! set the same objects, so they always agree with what the window shows.
//!
//! A new object holds the controls' starting state: MP3 with constant bitrate
//! 128 Kbps, joint stereo, automatic sampling rate, WMA quality 50, OGG
//! variable bitrate 128 Kbps at quality 3, FLAC level 5, Opus 128 Kbps for
//! audio, AAC 192 Kbps, output to the default folder.
class FormatOptions : public QObject {
    Q_OBJECT

    // The containers of the exclusive option buttons; declared first so that
    // they outlive their members.
    OptionGroup m_formatGroup;
    OptionGroup m_mp3ModeGroup;
    OptionGroup m_oggModeGroup;
    OptionGroup m_folderGroup;
    OptionGroup m_opusModeGroup;
    OptionGroup m_normalizeModeGroup;

public:
    //! Format indexes, also the indexes of the option pages. The later
    //! formats come after the first four, so stored indexes keep their meaning.
    enum Format { WAV = 0, WMA = 1, MP3 = 2, OGG = 3, FLAC = 4, OPUS = 5, AAC = 6 };
    static constexpr int kFormatCount = 7;
    //! The page inside the WMA page that offers the WMA component download,
    //! numbered after the format pages.
    static constexpr int kWmaNoticePage = kFormatCount;
    static constexpr int kTagCount = 8;
    //! The targets "Normalise loudness to" offers, in LUFS: the one owner of
    //! the range, which the command line's --normalize takes too.
    static constexpr int kLowestNormalizeTarget = -40;
    static constexpr int kHighestNormalizeTarget = -5;

    explicit FormatOptions(QObject* parent = nullptr);
    ~FormatOptions() override;

    //! The home folder's "Converted Files": the output folder by default.
    static QString defaultOutputFolder();

    // Format choice
    OptionButtonState& optFileFormat(int Index) { return *m_optFileFormat.at(Index); }
    const OptionButtonState& optFileFormat(int Index) const { return *m_optFileFormat.at(Index); }
    //! Index of the format option that is on; -1 when none is.
    int selectedFormat() const { return m_formatGroup.selectedIndex(); }
    //! The option page `frFormat` in front of the page stack (a format index).
    int frontPage() const { return m_frontPage; }
    void bringPageToFront(int Index);
    //! Whether the WMA download notice (`frFormat` item 4) covers the WMA page.
    bool wmaNoticeVisible() const { return m_wmaNoticeVisible; }
    void setWmaNoticeVisible(bool visible);

    // WMA page
    SliderState sliderWMA;
    LabelState lblWMAQuality;
    CheckBoxState chkWMAFileTags;
    TextState& txtWMATags(int Index) { return *m_txtWMATags.at(Index); }
    const TextState& txtWMATags(int Index) const { return *m_txtWMATags.at(Index); }
    //! The field name a tag box shows while it is empty ("Title", "Artist",
    //! …). The boxes start empty; a box holding only this text is not written.
    static QString tagPlaceholder(int Index);

    // MP3 page
    ListState cmbMP3StereoMode;
    ListState cmbMP3Freq;
    SliderState SliderMP3EncoderQuality;
    LabelState lblMP3EncodSlider;
    OptionButtonState optMP3CBR;
    OptionButtonState optMP3VBR;
    OptionButtonState optMP3ABR;
    ListState cmbMP3CBitrate;
    SliderState SliderMP3VBR;
    LabelState lblMP3VBREncodSlider;
    ListState cmbMP3ABitrate;

    // OGG page
    OptionButtonState optOGGCBR;
    OptionButtonState optOGGVBR;
    ListState cmbOGGCBitrate;
    ListState cmbOGGVBitrate;
    SliderState sliderOGG;
    LabelState lblSliderOGG;

    // FLAC page: compression level 0 (fastest) to 8 (smallest file)
    SliderState sliderFLACLevel;
    LabelState lblFLACLevel;

    // Opus page: bitrate in Kbps, and what the encoder tunes for
    SliderState sliderOpusBitrate;
    LabelState lblOpusBitrate;
    OptionButtonState optOpusAudio;
    OptionButtonState optOpusVoIP;

    // AAC page: bitrate in Kbps
    SliderState sliderAACBitrate;
    LabelState lblAACBitrate;

    // Output folder and summary, on the main panel
    OptionButtonState optSameFolder;
    OptionButtonState optOtherFolder;
    TextState txtOutPath;
    ButtonState cmdBrowse;
    LabelState lblFormat;
    ButtonState cmdChangeFormat;

    // Buttons of the options panel; their clicks are handled by the settings
    // store (Restore Defaults) and by whoever shows the panel (Save && Close).
    ButtonState cmdDefaults;
    ButtonState cmdHide;

    //! "Copy tags from the input", for every format: on by default.
    CheckBoxState chkCopyTags;

    // Loudness, for every format
    //! "Write ReplayGain tags": on by default.
    CheckBoxState chkReplayGain;
    //! "Normalise loudness to" the target, in whole LUFS (from
    //! kLowestNormalizeTarget to kHighestNormalizeTarget, -18 by default),
    //! each file on its own or each album as a whole: off by default; the
    //! target and the mode are enabled only while it is ticked.
    CheckBoxState chkNormalize;
    SliderState sliderNormalizeTarget;
    OptionButtonState optNormalizeTrack;
    OptionButtonState optNormalizeAlbum;

    //! "Include sub-folders", the check box of Add Folder's picker: off by default.
    CheckBoxState chkSubFolders;
    //! "Keep the folder structure": outputs of files added with a folder go
    //! under the output folder at their path inside that folder. Enabled only
    //! with "Other folder"; off by default.
    CheckBoxState chkKeepTree;
    //! "Name outputs from tags" and its pattern (see OutputNamePattern); the
    //! pattern box is enabled only while the check box is ticked.
    CheckBoxState chkNamePattern;
    TextState txtNamePattern;
    //! "Skip files already converted": a row whose output name already holds
    //! a complete output of the chosen format is not converted again. Off by
    //! default.
    CheckBoxState chkSkipConverted;
    //! The pattern a new installation offers.
    static QString defaultNamePattern();
    //! How many rows convert at once: 1 to the number of processors, which
    //! is also the default.
    SliderState sliderSimultaneous;
    //! The number of processors of this machine (at least 1).
    static int processorCount();

    //! The name of the output folder's dialog, by which it keeps the folder
    //! it was last used in.
    static constexpr const char* kOutputFolderDialog = "OutputFolder";

    //! Asks for a folder: the title and whether the new dialog style is
    //! wanted; returns the chosen path, or an empty text when cancelled.
    using FolderPicker = std::function<QString(const QString& title, bool newStyle)>;

    //! The folder picker that Browse shows; without one Browse does nothing.
    void setFolderPicker(FolderPicker picker) { m_browseForFolder = std::move(picker); }
    //! Browse shows the folder picker of `desktop`, which must outlive this
    //! object (or be replaced first).
    void setDesktop(platform::Desktop& desktop);

    //! Locks (or unlocks) the choices that decide where a batch's outputs go
    //! and what they are: the format, the output folder and its choices,
    //! keeping the folder structure and the names from tags. Unlocking
    //! restores the enabled states the other options give them.
    void lockOutputChoices(bool locked);
    bool outputChoicesLocked() const { return m_outputLocked; }

    //! What the format summary line says, taken from the options when the
    //! line is rebuilt; the words are chosen when it is shown.
    struct FormatSummary {
        enum Mode { Constant, Average, Variable, Voice };
        int format = -1;
        QString channels; //!< the list items, in English
        QString rate;
        QString bitrate;
        Mode mode = Constant;
        int value = 0; //!< the slider of the format (quality, level, Kbps)
        bool namesFromTags = false;
        int atOnce = 1; //!< conversions side by side
    };

    //! Rebuilds the caption of `lblFormat` from the current options: the
    //! format with its settings, then on a second line whether names come
    //! from tags and how many conversions run at once. Leaves it unchanged when no format, or MP3
    //! with no encoding mode, is chosen.
    void UpdateFormatSummary();
    //! Words the summary line again, in the current language, from what it
    //! said (options changed since are not taken in).
    void rewordFormatSummary();
    //! The language changed: the texts the options word themselves (the
    //! bitrates' unit, the summary line) follow it.
    void applyLanguage();
    //! The summary line of `summary` in the current language.
    static QString summaryText(const FormatSummary& summary);

    // Handlers of the controls' own events (connected by the constructor).
    void optFileFormat_Click(int Index);
    void optMP3CBR_Click();
    void optMP3ABR_Click();
    void optMP3VBR_Click();
    void optOGGCBR_Click();
    void optOGGVBR_Click();
    void optSameFolder_Click();
    void optOtherFolder_Click();
    void chkWMAFileTags_Click();
    void chkNamePattern_Click();
    void chkNormalize_Click();
    void cmdBrowse_Click();

Q_SIGNALS:
    void frontPageChanged(int Index);
    void wmaNoticeVisibleChanged(bool visible);

private:
    void connectHandlers();
    void showValue(SliderState& slider, LabelState& label, bool kbps = false);

    std::array<std::unique_ptr<OptionButtonState>, kFormatCount> m_optFileFormat;
    std::array<std::unique_ptr<TextState>, kTagCount> m_txtWMATags;
    int m_frontPage = MP3;
    bool m_wmaNoticeVisible = false;
    FolderPicker m_browseForFolder;
    bool m_outputLocked = false;
    std::optional<FormatSummary> m_summary;
};

} // namespace options
