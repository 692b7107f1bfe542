#include "options/FormatOptions.h"

#include "lang/StringLookup.h"
#include "options/ListItemWords.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

#include <QThread>
#include <algorithm>

namespace options {

namespace {

// The list items are fixed English texts, never localized.
const QStringList kStereoModes = {
    QStringLiteral("Mono"),          QStringLiteral("Stereo"),
    QStringLiteral("Joint Stereo"),  QStringLiteral("Forced Joint Stereo"),
    QStringLiteral("Dual Channels"),
};

const QStringList kSamplingRates = {
    QStringLiteral("Auto Sampling"), QStringLiteral("8 KHz"),  QStringLiteral("11.025 KHz"),
    QStringLiteral("12 KHz"),        QStringLiteral("16 KHz"), QStringLiteral("22.05 KHz"),
    QStringLiteral("24 KHz"),        QStringLiteral("32 KHz"), QStringLiteral("44.1 KHz"),
    QStringLiteral("48 KHz"),
};

QStringList bitrates(std::initializer_list<int> kbps)
{
    QStringList items;
    for (int rate : kbps)
        items.append(QStringLiteral("%1 Kbps").arg(rate));
    return items;
}

const QStringList kMp3ConstantBitrates = bitrates({320, 288, 256, 224, 192, 160, 128, 96, 64, 32});
// The average-bitrate list starts at 310, not 320.
const QStringList kMp3AverageBitrates = bitrates({310, 288, 256, 224, 192, 160, 128, 96, 64, 32});
const QStringList kOggBitrates = bitrates({320, 288, 256, 224, 192, 160, 128, 96, 64});

// Shown as placeholders: a box that held its field's name as text would write
// that name as the tag (Title="Title") for a user who fills in another box.
const char* const kTagPlaceholders[FormatOptions::kTagCount] = {
    "Title", "Artist", "Album Title", "Description", "Rating", "Copyright", "Genre", "Year",
};

constexpr int k128Kbps = 6;

// The loudness target by default: the ReplayGain reference, in LUFS.
constexpr int kDefaultTarget = -18;

} // namespace

FormatOptions::FormatOptions(QObject* parent)
    : QObject(parent), sliderWMA(QStringLiteral("sliderWMA"), 0, 100, 50),
      lblWMAQuality(QStringLiteral("lblWMAQuality"), QStringLiteral("50")),
      chkWMAFileTags(QStringLiteral("chkWMAFileTags")),
      cmbMP3StereoMode(QStringLiteral("cmbMP3StereoMode"), kStereoModes, 2),
      cmbMP3Freq(QStringLiteral("cmbMP3Freq"), kSamplingRates, 0),
      SliderMP3EncoderQuality(QStringLiteral("SliderMP3EncoderQuality"), 0, 9, 5),
      lblMP3EncodSlider(QStringLiteral("lblMP3EncodSlider"), QStringLiteral("5")),
      optMP3CBR(m_mp3ModeGroup, QStringLiteral("optMP3CBR"), true),
      optMP3VBR(m_mp3ModeGroup, QStringLiteral("optMP3VBR")), optMP3ABR(m_mp3ModeGroup, QStringLiteral("optMP3ABR")),
      cmbMP3CBitrate(QStringLiteral("cmbMP3CBitrate"), kMp3ConstantBitrates, k128Kbps),
      SliderMP3VBR(QStringLiteral("SliderMP3VBR"), 0, 9, 5),
      lblMP3VBREncodSlider(QStringLiteral("lblMP3VBREncodSlider"), QStringLiteral("5")),
      cmbMP3ABitrate(QStringLiteral("cmbMP3ABitrate"), kMp3AverageBitrates, k128Kbps),
      optOGGCBR(m_oggModeGroup, QStringLiteral("optOGGCBR")),
      optOGGVBR(m_oggModeGroup, QStringLiteral("optOGGVBR"), true),
      cmbOGGCBitrate(QStringLiteral("cmbOGGCBitrate"), kOggBitrates, k128Kbps),
      cmbOGGVBitrate(QStringLiteral("cmbOGGVBitrate"), kOggBitrates, k128Kbps),
      sliderOGG(QStringLiteral("sliderOGG"), -2, 10, 3),
      lblSliderOGG(QStringLiteral("lblSliderOGG"), QStringLiteral("3")),
      sliderFLACLevel(QStringLiteral("sliderFLACLevel"), 0, 8, 5),
      lblFLACLevel(QStringLiteral("lblFLACLevel"), QStringLiteral("5")),
      sliderOpusBitrate(QStringLiteral("sliderOpusBitrate"), 32, 256, 128),
      lblOpusBitrate(QStringLiteral("lblOpusBitrate"), QStringLiteral("128 Kbps")),
      optOpusAudio(m_opusModeGroup, QStringLiteral("optOpusAudio"), true),
      optOpusVoIP(m_opusModeGroup, QStringLiteral("optOpusVoIP")),
      sliderAACBitrate(QStringLiteral("sliderAACBitrate"), 64, 320, 192),
      lblAACBitrate(QStringLiteral("lblAACBitrate"), QStringLiteral("192 Kbps")),
      optSameFolder(m_folderGroup, QStringLiteral("optSameFolder")),
      optOtherFolder(m_folderGroup, QStringLiteral("optOtherFolder"), true),
      txtOutPath(QStringLiteral("txtOutPath"), defaultOutputFolder()), cmdBrowse(QStringLiteral("cmdBrowse")),
      lblFormat(QStringLiteral("lblFormat")), cmdChangeFormat(QStringLiteral("cmdChangeFormat")),
      cmdDefaults(QStringLiteral("cmdDefaults")), cmdHide(QStringLiteral("cmdHide")),
      chkCopyTags(QStringLiteral("chkCopyTags"), true), chkReplayGain(QStringLiteral("chkReplayGain"), true),
      chkNormalize(QStringLiteral("chkNormalize")),
      sliderNormalizeTarget(QStringLiteral("sliderNormalizeTarget"), kLowestNormalizeTarget, kHighestNormalizeTarget,
                            kDefaultTarget),
      optNormalizeTrack(m_normalizeModeGroup, QStringLiteral("optNormalizeTrack"), true),
      optNormalizeAlbum(m_normalizeModeGroup, QStringLiteral("optNormalizeAlbum")),
      chkSubFolders(QStringLiteral("chkSubFolders")), chkKeepTree(QStringLiteral("chkKeepTree")),
      chkNamePattern(QStringLiteral("chkNamePattern")),
      txtNamePattern(QStringLiteral("txtNamePattern"), defaultNamePattern()),
      chkSkipConverted(QStringLiteral("chkSkipConverted")),
      sliderSimultaneous(QStringLiteral("sliderSimultaneous"), 1, processorCount(), processorCount())
{
    for (int i = 0; i < kFormatCount; ++i)
        m_optFileFormat[i] =
            std::make_unique<OptionButtonState>(m_formatGroup, QStringLiteral("optFileFormat"), i == m_frontPage);
    for (int i = 0; i < kTagCount; ++i) {
        m_txtWMATags[i] = std::make_unique<TextState>(QStringLiteral("txtWMATags"));
        m_txtWMATags[i]->setEnabled(false);
    }

    // The enabled states of the starting choices.
    cmdBrowse.setEnabled(true);
    cmbMP3ABitrate.setEnabled(false);
    SliderMP3VBR.setEnabled(false);
    cmbOGGCBitrate.setEnabled(false);
    txtNamePattern.setEnabled(false);
    chkNormalize_Click();

    connectHandlers();
    UpdateFormatSummary();
}

FormatOptions::~FormatOptions() = default;

QString FormatOptions::tagPlaceholder(int Index)
{
    if (Index < 0 || Index >= kTagCount)
        return {};
    return QString::fromLatin1(kTagPlaceholders[Index]);
}

QString FormatOptions::defaultNamePattern()
{
    return QStringLiteral("{artist}/{album}/{track:02} - {title}");
}

int FormatOptions::processorCount()
{
    return std::max(1, QThread::idealThreadCount());
}

QString FormatOptions::defaultOutputFolder()
{
    return platform::homeFolder() + QStringLiteral("/Converted Files");
}

void FormatOptions::connectHandlers()
{
    for (int i = 0; i < kFormatCount; ++i)
        connect(m_optFileFormat[i].get(), &OptionButtonState::Click, this, [this, i] { optFileFormat_Click(i); });
    connect(&optMP3CBR, &OptionButtonState::Click, this, &FormatOptions::optMP3CBR_Click);
    connect(&optMP3ABR, &OptionButtonState::Click, this, &FormatOptions::optMP3ABR_Click);
    connect(&optMP3VBR, &OptionButtonState::Click, this, &FormatOptions::optMP3VBR_Click);
    connect(&optOGGCBR, &OptionButtonState::Click, this, &FormatOptions::optOGGCBR_Click);
    connect(&optOGGVBR, &OptionButtonState::Click, this, &FormatOptions::optOGGVBR_Click);
    connect(&optSameFolder, &OptionButtonState::Click, this, &FormatOptions::optSameFolder_Click);
    connect(&optOtherFolder, &OptionButtonState::Click, this, &FormatOptions::optOtherFolder_Click);
    connect(&chkWMAFileTags, &CheckBoxState::Click, this, &FormatOptions::chkWMAFileTags_Click);
    connect(&chkNamePattern, &CheckBoxState::Click, this, &FormatOptions::chkNamePattern_Click);
    connect(&chkNormalize, &CheckBoxState::Click, this, &FormatOptions::chkNormalize_Click);
    connect(&cmdBrowse, &ButtonState::Click, this, &FormatOptions::cmdBrowse_Click);

    showValue(sliderWMA, lblWMAQuality);
    showValue(SliderMP3EncoderQuality, lblMP3EncodSlider);
    showValue(SliderMP3VBR, lblMP3VBREncodSlider);
    showValue(sliderOGG, lblSliderOGG);
    showValue(sliderFLACLevel, lblFLACLevel);
    showValue(sliderOpusBitrate, lblOpusBitrate, true);
    showValue(sliderAACBitrate, lblAACBitrate, true);
}

// The value label of a slider shows its value as a plain decimal integer on
// every Change, so it follows the loader, the keyboard and a drag alike; a
// bitrate with its unit in the current language.
void FormatOptions::showValue(SliderState& slider, LabelState& label, bool kbps)
{
    connect(&slider, &SliderState::Change, this, [&slider, &label, kbps] {
        label.setCaption(kbps ? bitrateWords(slider.Value()) : QString::number(slider.Value()));
    });
}

void FormatOptions::applyLanguage()
{
    lblOpusBitrate.setCaption(bitrateWords(sliderOpusBitrate.Value()));
    lblAACBitrate.setCaption(bitrateWords(sliderAACBitrate.Value()));
    rewordFormatSummary();
}

void FormatOptions::bringPageToFront(int Index)
{
    if (Index < 0 || Index >= kFormatCount || Index == m_frontPage)
        return;
    m_frontPage = Index;
    Q_EMIT frontPageChanged(m_frontPage);
}

void FormatOptions::setWmaNoticeVisible(bool visible)
{
    if (m_wmaNoticeVisible == visible)
        return;
    m_wmaNoticeVisible = visible;
    Q_EMIT wmaNoticeVisibleChanged(m_wmaNoticeVisible);
}

void FormatOptions::optFileFormat_Click(int Index)
{
    bringPageToFront(Index);
}

void FormatOptions::optMP3CBR_Click()
{
    cmbMP3CBitrate.setEnabled(true);
    SliderMP3VBR.setEnabled(false);
    cmbMP3ABitrate.setEnabled(false);
}

void FormatOptions::optMP3ABR_Click()
{
    cmbMP3ABitrate.setEnabled(true);
    cmbMP3CBitrate.setEnabled(false);
    SliderMP3VBR.setEnabled(false);
}

void FormatOptions::optMP3VBR_Click()
{
    SliderMP3VBR.setEnabled(true);
    cmbMP3CBitrate.setEnabled(false);
    cmbMP3ABitrate.setEnabled(false);
}

void FormatOptions::optOGGCBR_Click()
{
    cmbOGGCBitrate.setEnabled(true);
    cmbOGGVBitrate.setEnabled(false);
}

void FormatOptions::optOGGVBR_Click()
{
    cmbOGGCBitrate.setEnabled(false);
    cmbOGGVBitrate.setEnabled(true);
}

void FormatOptions::lockOutputChoices(bool locked)
{
    m_outputLocked = locked;
    const bool open = !locked;
    const bool other = optOtherFolder.Value();
    for (const auto& format : m_optFileFormat)
        format->setEnabled(open);
    cmdChangeFormat.setEnabled(open);
    optSameFolder.setEnabled(open);
    optOtherFolder.setEnabled(open);
    txtOutPath.setEnabled(open && other);
    cmdBrowse.setEnabled(open && other);
    chkKeepTree.setEnabled(open && other);
    chkNamePattern.setEnabled(open);
    txtNamePattern.setEnabled(open && chkNamePattern.Value());
}

void FormatOptions::optSameFolder_Click()
{
    txtOutPath.setEnabled(false);
    cmdBrowse.setEnabled(false);
    chkKeepTree.setEnabled(false);
}

void FormatOptions::optOtherFolder_Click()
{
    txtOutPath.setEnabled(true);
    cmdBrowse.setEnabled(true);
    chkKeepTree.setEnabled(true);
}

void FormatOptions::chkWMAFileTags_Click()
{
    for (const auto& box : m_txtWMATags)
        box->setEnabled(chkWMAFileTags.Value());
}

void FormatOptions::chkNamePattern_Click()
{
    txtNamePattern.setEnabled(chkNamePattern.Value());
}

void FormatOptions::chkNormalize_Click()
{
    const bool on = chkNormalize.Value();
    sliderNormalizeTarget.setEnabled(on);
    optNormalizeTrack.setEnabled(on);
    optNormalizeAlbum.setEnabled(on);
}

void FormatOptions::setDesktop(platform::Desktop& desktop)
{
    m_browseForFolder = [&desktop](const QString& title, bool newStyle) {
        return desktop.BrowseForFolder(title, newStyle, QString::fromLatin1(kOutputFolderDialog));
    };
}

void FormatOptions::cmdBrowse_Click()
{
    if (!m_browseForFolder)
        return;
    // Titled for what it does: it picks where the outputs go.
    const QString folder = m_browseForFolder(lang::caption(lang::StringId::SelectOutputFolder), true);
    if (!folder.isEmpty())
        txtOutPath.setText(folder);
}

void FormatOptions::UpdateFormatSummary()
{
    FormatSummary summary;
    summary.format = selectedFormat();
    switch (summary.format) {
    case WAV:
        break;
    case WMA:
        summary.value = sliderWMA.Value();
        break;
    case MP3:
        summary.channels = cmbMP3StereoMode.Text();
        summary.rate = cmbMP3Freq.Text();
        if (optMP3CBR.Value()) {
            summary.mode = FormatSummary::Constant;
            summary.bitrate = cmbMP3CBitrate.Text();
        } else if (optMP3ABR.Value()) {
            summary.mode = FormatSummary::Average;
            summary.bitrate = cmbMP3ABitrate.Text();
        } else if (optMP3VBR.Value()) {
            summary.mode = FormatSummary::Variable;
            summary.value = SliderMP3VBR.Value();
        } else {
            return; // no encoding mode: the line stays as it is
        }
        break;
    case OGG:
        summary.mode = optOGGCBR.Value() ? FormatSummary::Constant : FormatSummary::Variable;
        summary.bitrate = optOGGCBR.Value() ? cmbOGGCBitrate.Text() : cmbOGGVBitrate.Text();
        summary.value = sliderOGG.Value();
        break;
    case FLAC:
        summary.value = sliderFLACLevel.Value();
        break;
    case OPUS:
        summary.value = sliderOpusBitrate.Value();
        summary.mode = optOpusVoIP.Value() ? FormatSummary::Voice : FormatSummary::Constant;
        break;
    case AAC:
        summary.value = sliderAACBitrate.Value();
        break;
    default:
        return; // no format: the line stays as it is
    }
    summary.namesFromTags = chkNamePattern.Value();
    summary.atOnce = sliderSimultaneous.Value();
    m_summary = summary;
    rewordFormatSummary();
}

void FormatOptions::rewordFormatSummary()
{
    if (m_summary)
        lblFormat.setCaption(summaryText(*m_summary));
}

QString FormatOptions::summaryText(const FormatSummary& summary)
{
    using lang::StringId;
    const auto text = [](StringId id) { return lang::caption(id); };
    const QString value = QString::number(summary.value);
    QString line;
    switch (summary.format) {
    case WAV:
        line = text(StringId::SummaryWav);
        break;
    case WMA:
        line = text(StringId::SummaryWma).arg(value);
        break;
    case MP3: {
        const StringId id = summary.mode == FormatSummary::Constant  ? StringId::SummaryMp3Constant
                            : summary.mode == FormatSummary::Average ? StringId::SummaryMp3Average
                                                                     : StringId::SummaryMp3Variable;
        const QString last = summary.mode == FormatSummary::Variable ? value : listItemWords(summary.bitrate);
        line = text(id).arg(listItemWords(summary.channels), listItemWords(summary.rate), last);
        break;
    }
    case OGG:
        line =
            text(summary.mode == FormatSummary::Constant ? StringId::SummaryOggConstant : StringId::SummaryOggVariable)
                .arg(listItemWords(summary.bitrate), value);
        break;
    case FLAC:
        line = text(StringId::SummaryFlac).arg(value);
        break;
    case OPUS:
        line = text(summary.mode == FormatSummary::Voice ? StringId::SummaryOpusVoip : StringId::SummaryOpusAudio)
                   .arg(bitrateWords(summary.value));
        break;
    default:
        line = text(StringId::SummaryAac).arg(bitrateWords(summary.value));
        break;
    }
    // On a line of its own, what else decides the outputs: names from
    // tags, and how many conversions run side by side.
    QStringList more;
    if (summary.namesFromTags)
        more << text(StringId::SummaryNamesFromTags);
    more << (summary.atOnce > 1 ? text(StringId::SummaryAtOnce).arg(summary.atOnce)
                                : text(StringId::SummaryOneAtATime));
    return line + u'\n' + more.join(QStringLiteral(" \u00B7 "));
}

} // namespace options
