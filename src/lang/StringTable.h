#pragma once

#include <QString>
#include <cstddef>
#include <iterator>

namespace lang {

// Every localized text: its name in the code, its identifier (the key in the
// language files, so the numbers never change) and its English default exactly
// as the lookups pass it, blanks around it included.
#define TONEMILL_STRING_TABLE(X)                                                                                       \
    /* Captions, titles and tooltips of the window */                                                                  \
    X(StepsTitle, 10000, "Three Easy Steps to convert your audio files or extract audio from video files")             \
    X(SelectAll, 10001, "Select/Unselect All")                                                                         \
    X(ShutdownAfterConversion, 10002, "Shutdown after conversion complete")                                            \
    X(SetWmaTags, 10003, "Set WMA File ID Tags")                                                                       \
    X(AddFile, 10004, "Add Audio File...")                                                                             \
    X(AddFolder, 10005, "Add Folder...")                                                                               \
    X(AddVideoFile, 10006, "Add Video File...")                                                                        \
    X(Browse, 10007, "Browse...")                                                                                      \
    X(ChangeFormat, 10008, "Change...")                                                                                \
    X(CloseHelp, 10009, "Close")                                                                                       \
    X(ConvertAll, 10010, "Convert All")                                                                                \
    X(ConvertSelected, 10011, "Convert Selected")                                                                      \
    X(RestoreDefaults, 10012, "Restore Defaults")                                                                      \
    X(DownloadWmf, 10013, "Download and Install Windows Media Format (~3.9 MB) *")                                     \
    X(SaveAndClose, 10014, "Save && Close")                                                                            \
    X(OpenWmSite, 10015, "Open Microsoft Media Player download page *")                                                \
    X(Pause, 10016, "Pause")                                                                                           \
    X(Play, 10017, "Play")                                                                                             \
    X(PlayNext, 10018, "Play Next")                                                                                    \
    X(PlayPrevious, 10019, "Play Previous")                                                                            \
    X(RemoveSelected, 10020, "Remove Selected")                                                                        \
    X(Stop, 10021, "Stop")                                                                                             \
    X(AboutTitle, 10022, "About")                                                                                      \
    X(FormatsTitle, 10023, "Output Audio Formats")                                                                     \
    X(StepAddFiles, 10024, "  - Add Audio or Video Files/Folders ")                                                    \
    X(SelectOutputFormat, 10025, "Select the output file format:-")                                                    \
    X(EncodingQuality, 10026, "Encoding Quality:")                                                                     \
    X(TagTitle, 10027, "Title")                                                                                        \
    X(TagAlbumTitle, 10028, "Album Title")                                                                             \
    X(TagRating, 10029, "Rating")                                                                                      \
    X(TagGenre, 10030, "Genere")                                                                                       \
    X(TagArtist, 10031, "Artist")                                                                                      \
    X(TagDescription, 10032, "Description")                                                                            \
    X(TagCopyright, 10033, "Copyright")                                                                                \
    X(TagYear, 10034, "Year")                                                                                          \
    X(Low, 10035, "Low")                                                                                               \
    X(High, 10036, "High")                                                                                             \
    X(WavSameAsInput, 10037, "Sampling rate, Bitrate, and channels of the output file will be the same as input file") \
    X(LessQuality, 10038, "Less Quality(Smaller File)")                                                                \
    X(HighQuality, 10039, "High Quality(Bigger File)")                                                                 \
    X(ChannelMode, 10040, "Channel Mode:")                                                                             \
    X(SamplingRate, 10041, "Sampling Rate:")                                                                           \
    X(EncoderQuality, 10042, "Encoder Quality:")                                                                       \
    X(HighSlower, 10043, "High (Slower)")                                                                              \
    X(LowFaster, 10044, "Low (Faster)")                                                                                \
    X(EncodingMode, 10045, "Enocding Mode:")                                                                           \
    X(VbrValue, 10046, "Variable Bitrate (VBR) Value:-")                                                               \
    X(WmfNotInstalled, 10047,                                                                                          \
      "Windows Media Format is not installed in your system and you can not select WMA as an output format unless "    \
      "you install Windows Media Format Version 9.0 or later or install Windows Media Player version 9.0 or later")    \
    X(RestartAfterInstalling, 10048, "* You have to restart Tonemill after installing.")                               \
    X(AboutText, 10049,                                                                                                \
      "Tonemill is an easy to use tool to convert audio files to various audio formats and extract audio from video "  \
      "files to various audio formats. The program can also rip audio CD tracks to the supported formats.")            \
    X(StepOutput, 10050, "  - Select Output Folder and Format ")                                                       \
    X(OutputFolder, 10051, "Output Folder:")                                                                           \
    X(StepConvert, 10052, "- Click Convert to start conversion  ")                                                     \
    X(OutputFormat, 10053, "Output Format:")                                                                           \
    X(QuickAddingHint, 10054, "For Quick Adding:You can drag and drop audio or video files into the below list")       \
    X(OtherFolder, 10056, "Other folder")                                                                              \
    X(SameFolder, 10057, "Same folder as input file")                                                                  \
    X(AboutTip, 10060, "About")                                                                                        \
    X(MinimizeTip, 10061, "Minimize")                                                                                  \
    X(CloseTip, 10062, "Close")                                                                                        \
    X(HelpTip, 10063, "Help")                                                                                          \
    X(CopyTags, 10064, "Copy tags from the input")                                                                     \
    X(CompressionLevel, 10100, "Compression Level:")                                                                   \
    X(FlacKeepsDepth, 10101,                                                                                           \
      "Bit depth (up to 24 bits), sampling rate and channels of the output file will be the same as input file")       \
    X(Bitrate, 10102, "Bitrate:")                                                                                      \
    X(OpusTunedFor, 10103, "Tuned for:")                                                                               \
    X(OpusAudio, 10104, "Music and general audio")                                                                     \
    X(OpusVoip, 10105, "Speech (VoIP)")                                                                                \
    X(OpusResampled, 10106, "The output file is resampled to 48 kHz, the rate of Opus; channels stay as in the input") \
    X(AacInM4a, 10107, "AAC audio in an .m4a file; sampling rate and channels will be the same as input file")         \
    X(IncludeSubFolders, 10108, "Include sub-folders")                                                                 \
    X(KeepTree, 10109, "Keep the folder structure")                                                                    \
    X(NameFromTags, 10110, "Name outputs from tags")                                                                   \
    X(NamePatternTip, 10111,                                                                                           \
      "Fields: {artist} {album} {albumartist} {title} {track} {disc} {year} {genre} {composer}. {track:02} writes "    \
      "at least two digits; \"/\" starts a sub-folder. A file without one of the tags keeps its own name.")            \
    X(SimultaneousConversions, 10150, "Simultaneous conversions:")                                                     \
    X(PowerOffNow, 10200, "Power off now")                                                                             \
    X(CancelPowerOff, 10201, "Cancel")                                                                                 \
    X(AddAudioCd, 10220, "Add Audio CD...")                                                                            \
    X(NoAudioCd, 10221, "No audio CD in any drive")                                                                    \
    X(CdTrackCount, 10222, "%1 tracks")                                                                                \
    X(MoreWaysToAdd, 10223, "More ways to add audio")                                                                  \
    X(LoudnessGroup, 10260, "Loudness:")                                                                               \
    X(WriteReplayGain, 10261, "Write ReplayGain tags")                                                                 \
    X(NormalizeTo, 10262, "Normalise loudness to")                                                                     \
    X(NormalizeByTrack, 10263, "Each file")                                                                            \
    X(NormalizeByAlbum, 10264, "Each album")                                                                           \
    X(LoudnessGroupTip, 10265,                                                                                         \
      "Players that read ReplayGain tags even out the volume; normalising changes the audio itself, which takes a "    \
      "second pass. An album is the files of one folder (or one CD or CUE sheet) converted together.")                 \
    X(NormalizeTip, 10266,                                                                                             \
      "A mono file is measured as dual mono, as two speakers play it: 3 dB louder than loudgain and ffmpeg measure "   \
      "it by default, so it gets the same gain as its stereo copy. Normalised outputs stay at or below -1 dBTP, "      \
      "lossy formats once decoded too.")                                                                               \
    X(SkipConverted, 10320, "Skip files already converted")                                                            \
    X(SkipConvertedTip, 10321,                                                                                         \
      "A file whose output is already there, complete and in the chosen format, is not converted again")               \
    X(LanguageName, 10280, "English")                                                                                  \
    X(QtTranslation, 10281, "en")                                                                                      \
    X(MaximizeTip, 10282, "Maximize")                                                                                  \
    X(RestoreTip, 10283, "Restore")                                                                                    \
    X(Mp3ConstantBitrate, 10284, "Constant Bitrate (CBR):")                                                            \
    X(Mp3VariableBitrate, 10285, "Variable Bitrate (VBR):")                                                            \
    X(Mp3AverageBitrate, 10286, "Average Bitrate (ABR):")                                                              \
    X(OggConstantBitrate, 10287, "Constant Bitrate (CBR)")                                                             \
    X(Mono, 10288, "Mono")                                                                                             \
    X(Stereo, 10289, "Stereo")                                                                                         \
    X(JointStereo, 10290, "Joint Stereo")                                                                              \
    X(ForcedJointStereo, 10291, "Forced Joint Stereo")                                                                 \
    X(DualChannels, 10292, "Dual Channels")                                                                            \
    X(AutoSampling, 10293, "Auto Sampling")                                                                            \
    X(KiloHertz, 10294, "%1 KHz")                                                                                      \
    X(Kbps, 10295, "%1 Kbps")                                                                                          \
    X(PlaceholderTitle, 10296, "Title")                                                                                \
    X(PlaceholderArtist, 10297, "Artist")                                                                              \
    X(PlaceholderAlbumTitle, 10298, "Album Title")                                                                     \
    X(PlaceholderDescription, 10299, "Description")                                                                    \
    X(PlaceholderRating, 10300, "Rating")                                                                              \
    X(PlaceholderCopyright, 10301, "Copyright")                                                                        \
    X(PlaceholderGenre, 10302, "Genre")                                                                                \
    X(PlaceholderYear, 10303, "Year")                                                                                  \
    X(SummaryWav, 10304, "WAV, Bitrate will be as input")                                                              \
    X(SummaryWma, 10305, "WMA,Encoding Quality= %1")                                                                   \
    X(SummaryMp3Constant, 10306, "MP3,%1,%2,Constant Bitrate %3")                                                      \
    X(SummaryMp3Average, 10307, "MP3,%1,%2,Average Bitrate %3")                                                        \
    X(SummaryMp3Variable, 10308, "MP3,%1,%2,VBR Quality=%3")                                                           \
    X(SummaryOggConstant, 10309, "OGG,Constant Bitrate %1,Quality=%2")                                                 \
    X(SummaryOggVariable, 10310, "OGG,Variable Bitrate %1,Quality=%2")                                                 \
    X(SummaryFlac, 10311, "FLAC,Compression Level=%1")                                                                 \
    X(SummaryOpusAudio, 10312, "Opus,Bitrate %1,Audio")                                                                \
    X(SummaryOpusVoip, 10313, "Opus,Bitrate %1,VoIP")                                                                  \
    X(SummaryAac, 10314, "AAC,Bitrate %1")                                                                             \
    X(SummaryNamesFromTags, 10315, "names from tags")                                                                  \
    X(SummaryAtOnce, 10316, "%1 at once")                                                                              \
    X(SummaryOneAtATime, 10317, "one at a time")                                                                       \
    X(SimultaneousMaximum, 10318, "(at most %1)")                                                                      \
    X(NamePatternExample, 10319, "Example: %1")                                                                        \
    X(Resume, 100016, "Resume")                                                                                        \
    X(ProductName, 100024, "Tonemill")                                                                                 \
    /* Dialog, grid and status texts */                                                                                \
    X(AllAudioFormatsFilter, 20001, "All Supported Audio Formats")                                                     \
    X(CommonAudioFilter, 20002, "Common Audio Files")                                                                  \
    X(SelectAudioFiles, 20003, "Select one or more audio files")                                                       \
    X(AllVideoFormatsFilter, 20004, "All Supported Video Formats")                                                     \
    X(SelectVideoFiles, 20005, "Select one or more video files")                                                       \
    X(SelectFolderToAdd, 20006, "Select folder to add")                                                                \
    X(WaitingConversion, 20007, "Waiting Conversion")                                                                  \
    X(Cancelled, 20008, "Cancelled")                                                                                   \
    X(FilePathHeader, 20009, "File Path")                                                                              \
    X(StatusHeader, 20010, "Conversion Status")                                                                        \
    X(TimeLengthHeader, 20011, "Time Length")                                                                          \
    X(FileSizeHeader, 20012, "File Size")                                                                              \
    X(Error, 20013, "Error")                                                                                           \
    X(Complete, 20014, "Complete")                                                                                     \
    X(CodecNotSupported, 20015, "Codec Not Supported")                                                                 \
    X(CdTrack, 20016, "CD Track")                                                                                      \
    X(InputDamaged, 20101, "input damaged at %1 of %2")                                                                \
    X(InvalidSamples, 20102, "input holds invalid samples")                                                            \
    X(BatchCount, 20201, "%1 of %2")                                                                                   \
    X(TimeLeft, 20202, "%1 left")                                                                                      \
    X(StoppedAtName, 20300, "%1 (stopped at %2)")                                                                      \
    X(SummaryConverted, 20301, "%1 converted")                                                                         \
    X(SummaryFailed, 20302, "%1 failed")                                                                               \
    X(SummaryStopped, 20303, "%1 stopped")                                                                             \
    X(OpenOutputFolder, 20304, "Open output folder")                                                                   \
    X(PowerOffCountdown, 20305, "The computer will power off in %1 seconds.")                                          \
    X(BatchFinished, 20306, "Conversion finished")                                                                     \
    X(AndMore, 20307, "and %1 more")                                                                                   \
    X(LoudnessTip, 20360, "Loudness %1 LUFS, true peak %2 dBTP")                                                       \
    X(MeasuringPass, 20361, "Pass 1 of 2: measuring the loudness")                                                     \
    X(ConvertingPass, 20362, "Pass 2 of 2: converting")                                                                \
    X(Skipped, 20400, "Skipped")                                                                                       \
    X(SummarySkipped, 20401, "%1 skipped")                                                                             \
    X(FileListName, 20440, "Files to convert")                                                                         \
    X(TickFilesToConvert, 20441, "Tick the files to convert first.")                                                   \
    X(TickFilesToRemove, 20442, "Tick the files to remove first.")                                                     \
    X(RefusedAlreadyListed, 20443, "%1: already in the list")                                                          \
    X(RefusedUnreadableType, 20444, "%1: not a type of file Tonemill reads")                                           \
    X(RefusedNotAdded, 20445, "%1: could not be added")                                                                \
    X(LanguageBoxName, 20446, "Language")                                                                              \
    X(SelectOutputFolder, 20380, "Select the output folder")                                                           \
    X(EngineMem, 20381, "Memory Error")                                                                                \
    X(EngineFileOpen, 20382, "Can't Open the File")                                                                    \
    X(EngineDriver, 20383, "Can't Find a Free Sound Driver")                                                           \
    X(EngineBufLost, 20384, "The Sample Buffer Was Lost - Please Report This!")                                        \
    X(EngineHandle, 20385, "Invalid Handle")                                                                           \
    X(EngineFormat, 20386, "Unsupported Format")                                                                       \
    X(EnginePosition, 20387, "Invalid Playback Position")                                                              \
    X(EngineInit, 20388, "BASS_Init Has Not Been Successfully Called")                                                 \
    X(EngineStart, 20389, "BASS_Start Has Not Been Successfully Called")                                               \
    X(EngineAlready, 20390, "Already Initialized")                                                                     \
    X(EngineNoChan, 20391, "Can't Get a Free Channel")                                                                 \
    X(EngineIllType, 20392, "An Illegal Type Was Specified")                                                           \
    X(EngineIllParam, 20393, "An Illegal Parameter Was Specified")                                                     \
    X(EngineNo3D, 20394, "No 3D Support")                                                                              \
    X(EngineNoEax, 20395, "No EAX Support")                                                                            \
    X(EngineDevice, 20396, "Illegal Device Number")                                                                    \
    X(EngineNoPlay, 20397, "Not Playing")                                                                              \
    X(EngineFreq, 20398, "Illegal Sample Rate")                                                                        \
    X(EngineNotFile, 20399, "The Stream is Not a File Stream (WAV/MP3)")                                               \
    /* Messages */                                                                                                     \
    X(FilesNotAdded, 30001, "Some files are not supported or already exist and will not be added")                     \
    X(AddFileFailed, 30002, "An error occured while Adding File")                                                      \
    X(FolderEmpty, 30003, "Selected Folder is empty.")                                                                 \
    X(StopConversionFirst, 30004, "Please Stop Conversion first.")                                                     \
    X(ListEmpty, 30005, "The list is empty, Please add Audio files from step 1")                                       \
    X(ErrorCodePrefix, 30006, "(Error code: ")                                                                         \
    X(NoWmaSupport, 30007,                                                                                             \
      "Your System does not support Windows Media Audio Encoding. To Support it, you have to do one of the "           \
      "following")                                                                                                     \
    X(WmaPromptYes, 30008, "Click Yes to download and install Windows Media Format (~3.9 MB).")                        \
    X(WmaPromptNo, 30009,                                                                                              \
      "Click No to open Microsoft Media Player web site to download and install Media Player Version 9.0 or later.")   \
    X(WmaPromptCancel, 30010, "Click Cancel to manaully install it by yourself.")                                      \
    X(RestartAfterInstall, 30011, "You have to restart Tonemill after installing")                                     \
    X(OutputFolderNotCreated, 30012, "Output Folder is not exist and can not be created.")                             \
    /* Messages of an installation shared by several users */                                                          \
    X(OutputFolderNotYours, 30101,                                                                                     \
      "You can not write to the output folder \"%1\". Your own folder \"%2\" is used instead.")                        \
    X(SettingsInUse, 30102,                                                                                            \
      "The saved options can not be read now: another program is using them. The defaults are used this time, "        \
      "and changes are not saved.")                                                                                    \
    X(SettingsNotSaved, 30103, "The options could not be saved: another program is using them.")                       \
    /* Names of outputs from tags */                                                                                   \
    X(NamePatternEmpty, 30104, "The pattern for output names is empty or ends in \"/\".")                              \
    X(NamePatternEscapes, 30105,                                                                                       \
      "The pattern for output names must stay inside the output folder: it can not begin with \"/\" or hold \"..\".")  \
    X(NamePatternUnknownField, 30106, "The pattern for output names holds an unknown field: %1")                       \
    X(NamePatternBraces, 30107, "The pattern for output names has a \"{\" or \"}\" without its partner.")              \
    X(ConvertAgain, 30200, "All files are converted. Convert them again?")                                             \
    X(NoFreeOutputName, 30201, "No free name is left for the output of this file.")                                    \
    X(ListFull, 30210, "%1 rows is the most a list can hold; %2 paths were not added")                                 \
    /* Audio CDs and CUE sheets */                                                                                     \
    X(DiscUnreadable, 30220, "\"%1\" can not be read: it is no CUE sheet, or the drive holds no disc.")                \
    X(CueSyntax, 30221, "The CUE sheet \"%1\" is not valid at line %2.")                                               \
    X(DiscNoAudioTracks, 30222, "\"%1\" holds no audio tracks.")                                                       \
    X(CueMissingFile, 30223, "The CUE sheet \"%1\" names a file that is missing: %2")                                  \
    X(CueOutOfOrder, 30224, "The times or numbers of track %2 in the CUE sheet \"%1\" go backwards.")                  \
    X(CuePastEnd, 30225, "Track %2 of the CUE sheet \"%1\" begins after the end of %3.")                               \
    X(CueUndecodable, 30226, "The CUE sheet \"%1\" names an audio file that can not be decoded: %2")                   \
    X(SheetNotRead, 30235, "\"%1\" can not be read: %2")                                                               \
    X(CueUnsupportedImage, 30227,                                                                                      \
      "The CUE sheet \"%1\" names an image that can not be read: big-endian samples, or data sectors that are not "    \
      "2352 bytes: %2")                                                                                                \
    X(DiscNoSuchTrack, 30228, "\"%1\" has no track %2.")                                                               \
    X(SheetFilesAsTracks, 30229, "Files added as the tracks of their CUE sheet, not by themselves: %1")                \
    /* What failed in a download */                                                                                    \
    X(DownloadFailed, 30240, "The download failed.")                                                                   \
    X(DownloadHttpStatus, 30241, "The server answered with status %1.")                                                \
    X(DownloadBadRedirect, 30242, "The download was sent on to an address that is not HTTP or HTTPS: %1")              \
    X(DownloadRedirectLoop, 30243, "The server sent the download on too many times.")                                  \
    X(DownloadStalled, 30244, "The server sent nothing for %1 seconds.")                                               \
    X(DownloadTooSlow, 30245, "The download did not end within %1 minutes.")                                           \
    X(DownloadTooLarge, 30246, "The download is larger than %1 MB, more than any codec package.")                      \
    X(DownloadNotAPackage, 30247, "The download is not a package the installer can use (%1), so it was not kept.")     \
    X(DownloadNotSaved, 30248, "The download could not be saved: %1")                                                  \
    X(DownloadNoAnswer, 30249, "The server ended the connection without an answer.")                                   \
    X(WmaInstallPackage, 30320, "To convert to WMA, install the package %1 with your system's package tool: %2")       \
    X(RemoveSelectedRows, 30280, "Remove the %1 selected files from the list?")                                        \
    X(NamePatternProblems, 30281, "The pattern for output names can not be used:")                                     \
    X(EngineNoHw, 30282, "No Hardware Voices Available")                                                               \
    X(EngineEmpty, 30283, "The MOD music has no sequence data")                                                        \
    X(EngineNoNet, 30284, "No Internet connection could be opened")                                                    \
    X(EngineCreate, 30285, "Couldn't create the file")                                                                 \
    X(EngineNoFx, 30286, "Effects are not enabled")                                                                    \
    X(EngineNotAvail, 30287, "The requested data is not available")                                                    \
    X(EngineDecode, 30288, "The channel is a 'decoding channel'")                                                      \
    X(EngineUnknown, 30289, "Some Other Mystery Error")

//! A localized text, named in the code; its value is its key in the language files.
enum class StringId : int {
// NOLINTNEXTLINE(bugprone-macro-parentheses): name is the enumerator it declares
#define TONEMILL_STRING_ID(name, number, text) name = number,
    TONEMILL_STRING_TABLE(TONEMILL_STRING_ID)
#undef TONEMILL_STRING_ID
};

struct StringEntry {
    StringId id;
    const char* englishText;
};

//! Every identifier with its English default, in table order.
inline constexpr StringEntry kStringTable[] = {
#define TONEMILL_STRING_ENTRY(name, number, text) {StringId::name, text},
    TONEMILL_STRING_TABLE(TONEMILL_STRING_ENTRY)
#undef TONEMILL_STRING_ENTRY
};

constexpr bool stringIdsAreUnique()
{
    for (std::size_t i = 0; i < std::size(kStringTable); ++i)
        for (std::size_t j = i + 1; j < std::size(kStringTable); ++j)
            if (kStringTable[i].id == kStringTable[j].id)
                return false;
    return true;
}
static_assert(stringIdsAreUnique(), "every string identifier is used once in the table");

//! The English default of `id`, blanks around it included.
QString englishText(StringId id);

//! The key of `id` in a language file: its number in decimal digits.
QString idText(StringId id);

} // namespace lang
