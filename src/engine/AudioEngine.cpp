#include "engine/AudioEngine.h"

#include "platform/Desktop.h"
#include "platform/FileName.h"

#include <QFile>

namespace engine {

QStringList WMATagNames;

InitFailureBox InitFailureMessage(int code)
{
    // Lines of a message box are separated by a line feed here: a carriage
    // return would show as a stray glyph in the box.
    const QString newline = QStringLiteral("\n");
    if (code == BASS_ERROR_ALREADY) {
        return {QStringLiteral("Error: Couldn't Initialize Digital Output.") + newline +
                    QStringLiteral("Error Code:BASS_ERROR_ALREADY"),
                QStringLiteral("Digital output"), false};
    }
    QString codeLine;
    QString title = QStringLiteral("Digital output");
    switch (code) {
    case BASS_ERROR_MEM:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_MEM");
        break;
    case BASS_ERROR_DRIVER:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_DRIVER");
        break;
    case BASS_ERROR_FORMAT:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_FORMAT");
        break;
    case BASS_ERROR_NO3D:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_NO3D");
        break;
    case BASS_ERROR_DEVICE:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_DEVICE");
        title = QStringLiteral("Initialaization Error");
        break;
    case BASS_ERROR_UNKNOWN:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_UNKNOWN");
        break;
    default:
        codeLine = QStringLiteral("Error Code:BASS_ERROR_UNKNOWN2");
        break;
    }
    return {QStringLiteral("Error: Couldn't Initialize Digital Output, The program will not work correclty.") +
                newline + QStringLiteral("The sound device may not be installed correclty.") + newline + codeLine,
            title, true};
}

bool InitAudioEngine(platform::Desktop& desktop)
{
    if (!BASS_Init(1, 44100, 0, nullptr, nullptr)) {
        const InitFailureBox box = InitFailureMessage(BASS_ErrorGetCode());
        desktop.messageBox(box.text, box.title, platform::Desktop::Icon::Critical, platform::Desktop::Buttons::Ok);
        if (box.fatal)
            return false;
    }
    LoadFormatModules();
    return true;
}

bool InitDecodingEngine()
{
    // Device 0 is the engine's "no sound" device.
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr) && BASS_ErrorGetCode() != BASS_ERROR_ALREADY)
        return false;
    LoadFormatModules();
    return true;
}

void LoadFormatModules()
{
    // A module whose backing library is missing simply stays unloaded (its
    // formats are then refused when opened), so a failed load is no fault
    // here; loading one twice gives its first handle again.
    for (const QString& name : FormatModuleNames())
        static_cast<void>(BASS_PluginLoad(name.toLatin1().constData(), 0));
    WMATagNames = QStringLiteral("Title,Author,WM/AlbumTitle,Description,Rating,Copyright,WM/Genre,WM/Year")
                      .split(QLatin1Char(','));
}

const QStringList& FormatModuleNames()
{
    static const QStringList names{
        QStringLiteral("basswma.dll"),  QStringLiteral("bass_aac.dll"),  QStringLiteral("bassmidi.dll"),
        QStringLiteral("bass_ac3.dll"), QStringLiteral("bass_alac.dll"), QStringLiteral("bass_ape.dll"),
        QStringLiteral("bass_mpc.dll"), QStringLiteral("bass_ofr.dll"),  QStringLiteral("bass_spx.dll"),
        QStringLiteral("bass_tta.dll"), QStringLiteral("bassflac.dll"),  QStringLiteral("basswv.dll"),
        QStringLiteral("bass_adx.dll"), QStringLiteral("basscd.dll"),
    };
    return names;
}

HSTREAM OpenStream(bool fromMemory, const QString& file, DWORD offset, DWORD length, DWORD flags)
{
    if (fromMemory) {
        // Called only for the error it sets (BASS_ERROR_ILLPARAM): the handle is 0.
        static_cast<void>(BASS_StreamCreateFile(true, nullptr, 0, 0, 0));
        return 0;
    }
    const QByteArray path = platform::nativeName(file);
    return BASS_StreamCreateFile(false, path.constData(), offset, length, flags | BASS_UNICODE);
}

HMUSIC OpenMusic(bool fromMemory, const QString& file, DWORD offset, DWORD length, DWORD flags, DWORD freq)
{
    if (fromMemory) {
        // Called only for the error it sets (BASS_ERROR_ILLPARAM): the handle is 0.
        static_cast<void>(BASS_MusicLoad(true, nullptr, 0, 0, 0, 0));
        return 0;
    }
    const QByteArray path = platform::nativeName(file);
    return BASS_MusicLoad(false, path.constData(), offset, length, flags | BASS_UNICODE, freq);
}

double ChannelSeconds(DWORD handle, DWORD position)
{
    return BASS_ChannelBytes2Seconds(handle, position);
}

QString BassErrorText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("All is OK");
    case 1:
        return QStringLiteral("Memory Error");
    case 2:
        return QStringLiteral("Can't Open the File");
    case 3:
        return QStringLiteral("Can't Find a Free Sound Driver");
    case 4:
        return QStringLiteral("The Sample Buffer Was Lost - Please Report This!");
    case 5:
        return QStringLiteral("Invalid Handle");
    case 6:
        return QStringLiteral("Unsupported Format");
    case 7:
        return QStringLiteral("Invalid Playback Position");
    case 8:
        return QStringLiteral("BASS_Init Has Not Been Successfully Called");
    case 9:
        return QStringLiteral("BASS_Start Has Not Been Successfully Called");
    case 14:
        return QStringLiteral("Already Initialized");
    case 18:
        return QStringLiteral("Can't Get a Free Channel");
    case 19:
        return QStringLiteral("An Illegal Type Was Specified");
    case 20:
        return QStringLiteral("An Illegal Parameter Was Specified");
    case 21:
        return QStringLiteral("No 3D Support");
    case 22:
        return QStringLiteral("No EAX Support");
    case 23:
        return QStringLiteral("Illegal Device Number");
    case 24:
        return QStringLiteral("Not Playing");
    case 25:
        return QStringLiteral("Illegal Sample Rate");
    case 27:
        return QStringLiteral("The Stream is Not a File Stream (WAV/MP3)");
    case 29:
        return QStringLiteral("No Hardware Voices Available");
    case 31:
        return QStringLiteral("The MOD music has no sequence data");
    case 32:
        return QStringLiteral("No Internet connection could be opened");
    case 33:
        return QStringLiteral("Couldn't create the file");
    case 34:
        return QStringLiteral("Effects are not enabled");
    case 37:
        return QStringLiteral("The requested data is not available");
    case 38:
        return QStringLiteral("The channel is a 'decoding channel'");
    case -1:
        return QStringLiteral("Some Other Mystery Error");
    default:
        return QString();
    }
}

} // namespace engine
