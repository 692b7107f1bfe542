#include "filelist/RowWords.h"

#include "engine/AudioEngine.h"
#include "lang/StringLookup.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace filelist::words {

namespace {

using lang::StringId;

StringId statusId(RowState state)
{
    switch (state) {
    case RowState::Waiting:
    case RowState::Converting:
        return StringId::WaitingConversion;
    case RowState::Complete:
    case RowState::CompleteDamaged:
        return StringId::Complete;
    case RowState::Cancelled:
        return StringId::Cancelled;
    case RowState::Failed:
        return StringId::Error;
    case RowState::Skipped:
        return StringId::Skipped;
    case RowState::NotSupported:
        break;
    }
    return StringId::CodecNotSupported;
}

QString codeText(RowReason::Code code, QString (*lookUp)(StringId))
{
    switch (code) {
    case RowReason::Code::NoOutputFolder:
        return lookUp(StringId::OutputFolderNotCreated);
    case RowReason::Code::NoFreeName:
        return lookUp(StringId::NoFreeOutputName);
    case RowReason::Code::MeasuringPass:
        return lookUp(StringId::MeasuringPass);
    case RowReason::Code::ConvertingPass:
        return lookUp(StringId::ConvertingPass);
    case RowReason::Code::InvalidSamples:
        return lookUp(StringId::InvalidSamples);
    case RowReason::Code::None:
        break;
    }
    return {};
}

//! The engine's reasons are kept in English as the engine gives them (the
//! command line and the error log show them so); the window words them in
//! its language.
QString engineWords(const QString& english, QString (*lookUp)(StringId))
{
    struct EngineText {
        int code;
        StringId id;
    };
    static const QHash<QString, StringId> kTexts = [] {
        static constexpr EngineText kCodes[] = {
            {1, StringId::EngineMem},       {2, StringId::EngineFileOpen}, {3, StringId::EngineDriver},
            {4, StringId::EngineBufLost},   {5, StringId::EngineHandle},   {6, StringId::EngineFormat},
            {7, StringId::EnginePosition},  {8, StringId::EngineInit},     {9, StringId::EngineStart},
            {14, StringId::EngineAlready},  {18, StringId::EngineNoChan},  {19, StringId::EngineIllType},
            {20, StringId::EngineIllParam}, {21, StringId::EngineNo3D},    {22, StringId::EngineNoEax},
            {23, StringId::EngineDevice},   {24, StringId::EngineNoPlay},  {25, StringId::EngineFreq},
            {27, StringId::EngineNotFile},  {29, StringId::EngineNoHw},    {31, StringId::EngineEmpty},
            {32, StringId::EngineNoNet},    {33, StringId::EngineCreate},  {34, StringId::EngineNoFx},
            {37, StringId::EngineNotAvail}, {38, StringId::EngineDecode},  {-1, StringId::EngineUnknown}};
        QHash<QString, StringId> texts;
        for (const EngineText& text : kCodes)
            texts.insert(engine::BassErrorText(text.code), text.id);
        return texts;
    }();
    const auto it = kTexts.constFind(english);
    return it == kTexts.constEnd() ? english : lookUp(it.value());
}

QString reasonIn(const RowReason& reason, QString (*lookUp)(StringId))
{
    if (reason.code != RowReason::Code::None)
        return codeText(reason.code, lookUp);
    if (!reason.damaged())
        return engineWords(reason.text, lookUp);
    const QString damagedText = lookUp(StringId::InputDamaged);
    const QString damage =
        damagedText.arg(playingTime(reason.damagedAt), playingTime(std::max(reason.damagedTotal, reason.damagedAt)));
    return reason.text.isEmpty() ? damage : damage + QStringLiteral("; ") + engineWords(reason.text, lookUp);
}

} // namespace

QString status(const FileListRow& row)
{
    if (row.state == RowState::Converting)
        return progressText(row.progress);
    return lang::caption(statusId(row.state));
}

QString englishStatus(RowState state)
{
    if (state == RowState::Converting)
        return QStringLiteral("Converting");
    return lang::englishText(statusId(state));
}

QString reason(const RowReason& reason)
{
    return reasonIn(reason, &lang::caption);
}

QString englishReason(const RowReason& reason)
{
    return reasonIn(reason, &lang::englishText);
}

std::optional<quint32> statusColor(RowState state)
{
    switch (state) {
    case RowState::Complete:
    case RowState::Skipped:
        return kCompleteColor;
    case RowState::CompleteDamaged:
        return kDamagedColor;
    case RowState::Cancelled:
    case RowState::Failed:
    case RowState::NotSupported:
        return kFailureColor;
    case RowState::Waiting:
    case RowState::Converting:
        break;
    }
    return std::nullopt;
}

QString progressText(float percent)
{
    return QString::number(double(percent), 'g', 7);
}

QString playingTime(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(std::max(seconds, 0.0)));
    const long long h = whole / 3600;
    const long long m = whole / 60 % 60;
    const long long s = whole % 60;
    auto two = [](long long v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return h > 0 ? QString::number(h) + u':' + two(m) + u':' + two(s) : two(whole / 60) + u':' + two(s);
}

} // namespace filelist::words
