#include "convert/ConversionBatch.h"

#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "convert/OutputPath.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"

#include <QPointer>

namespace {

using EncoderFunction = void (*)(ConversionSession&, const QString&, const QString&);

struct EncoderPath {
    const char* extension;
    EncoderFunction convert;
};

// By format index: the first format option that is on decides.
constexpr EncoderPath kEncoderPaths[options::FormatOptions::kFormatCount] = {
    {"wav", ConvertToWAV},
    {"wma", ConvertToWMA},
    {"mp3", ConvertToMP3_OGG},
    {"ogg", ConvertToMP3_OGG},
    {"flac", ConvertToFLAC_OPUS_AAC},
    {"opus", ConvertToFLAC_OPUS_AAC},
    {"m4a", ConvertToFLAC_OPUS_AAC},
};

constexpr int kPowerOffMode = 8;
constexpr int kYieldIntervalMs = 10;

QString text(lang::StringId id)
{
    return lang::caption(id);
}

} // namespace

const QStringList& ConversionBatch::switchedControls()
{
    static const QStringList names = {
        QStringLiteral("cmdChangeFormat"), QStringLiteral("cmdRemove"),       QStringLiteral("cmdPlay"),
        QStringLiteral("cmdPause"),        QStringLiteral("cmdStop"),         QStringLiteral("cmdPlayPrev"),
        QStringLiteral("cmdPlayNext"),     QStringLiteral("cmdBrowse"),       QStringLiteral("optSameFolder"),
        QStringLiteral("optOtherFolder"),  QStringLiteral("chkSelectAll"),    QStringLiteral("cmdAddFile"),
        QStringLiteral("cmdAddFolder"),    QStringLiteral("cmdAddVideoFile"),
    };
    return names;
}

ConversionBatch::ConversionBatch(Desktop& desktop, ConversionState& state, options::FormatOptions& options,
                                 ConversionSession::ListAccess currentList, QObject* parent)
    : QObject(parent), cmdConvert(QStringLiteral("cmdConvert")),
      cmdConvertSelected(QStringLiteral("cmdConvertSelected")), chkShutdown(QStringLiteral("chkShutdown"), false),
      m_session(desktop, state, options, std::move(currentList))
{
    m_session.setYieldInterval(kYieldIntervalMs);
    connect(&cmdConvert, &options::ButtonState::Click, this, &ConversionBatch::cmdConvert_Click);
    connect(&cmdConvertSelected, &options::ButtonState::Click, this, &ConversionBatch::cmdConvertSelected_Click);
    applyCaptions();
}

ConversionBatch::~ConversionBatch() = default;

void ConversionBatch::applyCaptions()
{
    cmdConvert.setCaption(text(m_running == &cmdConvert ? lang::StringId::Stop : lang::StringId::ConvertAll));
    cmdConvertSelected.setCaption(
        text(m_running == &cmdConvertSelected ? lang::StringId::Stop : lang::StringId::ConvertSelected));
}

void ConversionBatch::cmdConvert_Click()
{
    convertButtonClick(cmdConvert, cmdConvertSelected, false);
}

void ConversionBatch::cmdConvertSelected_Click()
{
    convertButtonClick(cmdConvertSelected, cmdConvert, true);
}

void ConversionBatch::convertButtonClick(CaptionButtonState& button, CaptionButtonState& other, bool bSelectedOnly)
{
    ConversionState& state = m_session.state();
    FileList* list = m_session.currentList();
    if (!list || list->count() == 0) {
        m_session.desktop().messageBox(text(lang::StringId::ListEmpty), text(lang::StringId::ProductName),
                                       Desktop::Icon::Information, Desktop::Buttons::Ok);
        return;
    }

    if (m_running == &button && button.Caption() == text(lang::StringId::Stop)) {
        // Runs inside the batch's yield: only ask it to stop.
        state.bCancelConversion = true;
        restoreControls();
        return;
    }
    // A stopped batch that has not unwound yet still owns the conversion
    // stream: a second batch must not start inside it.
    if (state.bConverting)
        return;
    // A name pattern that cannot be used is refused before any row starts.
    if (!CheckOutputNaming(m_session.desktop(), m_session.options()))
        return;

    state.bCancelConversion = false;
    m_running = &button;
    button.setCaption(text(lang::StringId::Stop));
    SetControlsEnabled(false);
    other.setEnabled(false);

    const bool started = ConvertFiles(bSelectedOnly);
    if (started && chkShutdown.Value())
        ShutdownComputer(kPowerOffMode);

    restoreControls();
    if (m_batchFinished)
        m_batchFinished();
}

void ConversionBatch::restoreControls()
{
    m_running = nullptr;
    applyCaptions();
    SetControlsEnabled(true);
    cmdConvert.setEnabled(true);
    cmdConvertSelected.setEnabled(true);
}

bool ConversionBatch::isEligible(const QString& status)
{
    return status == text(lang::StringId::WaitingConversion) || status == text(lang::StringId::Cancelled);
}

bool ConversionBatch::ConvertFiles(bool bSelectedOnly)
{
    ConversionState& state = m_session.state();
    if (m_stopPlayback)
        m_stopPlayback();
    state.bConverting = true;

    bool result = false;
    QPointer<FileList> list = m_session.currentList();
    const int n = list ? list->count() : 0;
    for (int row = 0; row < n; ++row) {
        if (state.bCancelConversion)
            break;
        // The walk ends when its list is gone or has no such row any more.
        if (!list || list != m_session.currentList() || row >= list->count())
            break;
        const FileListRow& record = list->at(row);
        if (!isEligible(record.Status) || (bSelectedOnly && record.CheckBox == 0)) {
            Q_EMIT rowVisited(row, QString());
            continue;
        }

        m_session.sCurrentFile = record.FilePath;
        LocateCurrentRow();
        result = true;
        const QString outFile = convertCurrentFile();
        Q_EMIT rowVisited(row, outFile);
    }

    state.bConverting = false;
    state.bCancelConversion = false;
    return result;
}

QString ConversionBatch::convertCurrentFile()
{
    int format = -1;
    for (int i = 0; i < options::FormatOptions::kFormatCount && format < 0; ++i)
        if (m_session.options().optFileFormat(i).Value())
            format = i;
    if (format < 0)
        return {};
    const EncoderPath& path = kEncoderPaths[format];
    const QString inputPath = m_session.sCurrentFile;
    const std::optional<int> row = m_session.currentRow();
    const FileList* list = m_session.currentList();
    const QString baseFolder = row && list && *row < list->count() ? list->at(*row).BaseFolder : QString();
    const QString outFile = BuildOutputPath({inputPath, baseFolder, QString::fromLatin1(path.extension)});
    if (outFile.isEmpty())
        return {};
    m_session.sOutputMade.clear();
    m_session.setReason(QString());
    try {
        path.convert(m_session, inputPath, outFile);
    } catch (...) {
        // A failure that escapes an encoder path fails its row only.
        m_session.setOutcome(ConversionSession::Outcome::Error);
    }
    return m_session.sOutputMade;
}

void ConversionBatch::LocateCurrentRow()
{
    m_session.setCurrentRow(std::nullopt);
    FileList* list = m_session.currentList();
    if (!list)
        return;
    for (int row = 0; row < list->count(); ++row) {
        if (list->at(row).FilePath == m_session.sCurrentFile) {
            m_session.setCurrentRow(row);
            return;
        }
    }
}

void ConversionBatch::SetControlsEnabled(bool bEnabled)
{
    options::FormatOptions& options = m_session.options();
    for (const QString& name : switchedControls()) {
        if (name == QLatin1String("cmdChangeFormat"))
            options.cmdChangeFormat.setEnabled(bEnabled);
        else if (name == QLatin1String("cmdBrowse"))
            // Browse stays off while the output goes beside the input.
            options.cmdBrowse.setEnabled(bEnabled && !options.optSameFolder.Value());
        else if (name == QLatin1String("optSameFolder"))
            options.optSameFolder.setEnabled(bEnabled);
        else if (name == QLatin1String("optOtherFolder"))
            options.optOtherFolder.setEnabled(bEnabled);
        else if (m_enableControl)
            m_enableControl(name, bEnabled);
    }
}

QString ConversionBatch::BuildOutputPath(const OutputRequest& request)
{
    return ::BuildOutputPath(m_session.desktop(), m_session.options(), request);
}

void ConversionBatch::ShutdownComputer(int mode)
{
    if (mode == kPowerOffMode)
        m_session.desktop().powerOff(); // a failed request is ignored
}
