#include "tags/ReadMediaTags.h"

#include "disc/DiscTracks.h"
#include "disc/TrackPath.h"
#include "engine/MediaFile.h"
#include "engine/MidiFile.h"
#include "engine/MidiText.h"
#include "engine/MusicChannel.h"
#include "platform/FileName.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <QStringDecoder>
#include <cstring>
#include <initializer_list>

namespace tags {

namespace {

// MIDI files are small; a larger file is not read whole for its text.
constexpr std::int64_t kMaxMidiBytes = 16ll << 20;

//! Text of unstated encoding: UTF-8 when it reads as such, else Latin-1
//! (ID3v1 tags and RIFF INFO chunks are mostly Latin-1; FFmpeg passes their
//! bytes on as they are).
QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.trimmed();
    return QString::fromLatin1(bytes).trimmed();
}

//! The first non-empty value among `keys` (matched without regard to case)
//! in the container's metadata, then in the audio stream's (Ogg keeps its
//! comments there).
QString lookup(const engine::MediaFile& media, std::initializer_list<const char*> keys)
{
    for (const AVDictionary* dict : {static_cast<const AVDictionary*>(media.format()->metadata),
                                     static_cast<const AVDictionary*>(media.stream()->metadata)}) {
        for (const char* key : keys) {
            const AVDictionaryEntry* entry = av_dict_get(dict, key, nullptr, 0);
            if (entry && entry->value && *entry->value)
                return decodeText(entry->value);
        }
    }
    return {};
}

//! "3" with a separate total of 12 becomes "3/12".
QString withTotal(const QString& number, const QString& total)
{
    if (number.isEmpty() || total.isEmpty() || number.contains(u'/'))
        return number;
    return number + u'/' + total;
}

const char* pictureMime(AVCodecID codec)
{
    switch (codec) {
    case AV_CODEC_ID_MJPEG:
        return "image/jpeg";
    case AV_CODEC_ID_PNG:
        return "image/png";
    case AV_CODEC_ID_GIF:
        return "image/gif";
    case AV_CODEC_ID_BMP:
        return "image/bmp";
    case AV_CODEC_ID_WEBP:
        return "image/webp";
    default:
        return nullptr;
    }
}

//! The attached picture marked as the front cover, else the first one.
void readCover(const engine::MediaFile& media, engine::MediaTags& tags)
{
    const AVStream* chosen = nullptr;
    for (unsigned i = 0; i < media.format()->nb_streams; ++i) {
        const AVStream* st = media.format()->streams[i];
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->attached_pic.size <= 0 ||
            !pictureMime(st->codecpar->codec_id))
            continue;
        const AVDictionaryEntry* kind = av_dict_get(st->metadata, "comment", nullptr, 0);
        const bool front = kind && qstrcmp(kind->value, "Cover (front)") == 0;
        if (!chosen || front)
            chosen = st;
        if (front)
            break;
    }
    if (!chosen)
        return;
    tags.cover = QByteArray(reinterpret_cast<const char*>(chosen->attached_pic.data), chosen->attached_pic.size);
    tags.coverMime = QString::fromLatin1(pictureMime(chosen->codecpar->codec_id));
}

//! Containers whose files may end in an ID3v1 tag (elsewhere the last bytes
//! are audio, which may spell "TAG" by chance).
bool mayEndInId3v1(const char* container)
{
    for (const char* name : {"mp3", "ape", "mpc", "mpc8", "tta", "wv"})
        if (qstrcmp(container, name) == 0)
            return true;
    return false;
}

//! The ID3v1 tag in the last 128 bytes, if any, fills the fields the container
//! left empty: FFmpeg reads it only while it has found no other metadata, and
//! an encoder's name in the stream header already counts as such.
void readId3v1(const engine::MediaRequest& request, engine::MediaTags& tags)
{
    int error = 0;
    const auto source = engine::MediaSource::open(request, error);
    if (!source || source->size() < 128)
        return;
    char tag[128];
    if (source->readAt(source->size() - 128, tag, 128) != 128 || std::memcmp(tag, "TAG", 3) != 0)
        return;
    auto field = [&tag](int at, int size) {
        const char* start = tag + at;
        return decodeText(QByteArrayView(start, qsizetype(qstrnlen(start, uint(size)))));
    };
    auto fill = [](QString& target, const QString& value) {
        if (target.isEmpty())
            target = value;
    };
    fill(tags.title, field(3, 30));
    fill(tags.artist, field(33, 30));
    fill(tags.album, field(63, 30));
    fill(tags.date, field(93, 4));
    // ID3v1.1: a zero byte before the last comment byte makes that byte the track.
    const bool v11 = tag[125] == 0 && tag[126] != 0;
    fill(tags.comment, field(97, v11 ? 28 : 30));
    if (v11)
        fill(tags.track, QString::number(static_cast<unsigned char>(tag[126])));
}

bool readContainer(const engine::MediaRequest& request, engine::MediaTags& tags)
{
    int error = 0;
    const auto media = engine::MediaFile::open(request, error);
    if (!media)
        return false;
    const engine::MediaFile& m = *media;
    tags.title = lookup(m, {"title"});
    tags.artist = lookup(m, {"artist", "author"});
    tags.album = lookup(m, {"album", "WM/AlbumTitle"});
    tags.albumArtist = lookup(m, {"album_artist", "albumartist", "album artist", "WM/AlbumArtist"});
    tags.track =
        withTotal(lookup(m, {"track", "tracknumber", "WM/TrackNumber"}), lookup(m, {"tracktotal", "totaltracks"}));
    tags.disc = withTotal(lookup(m, {"disc", "discnumber", "WM/PartOfSet"}), lookup(m, {"disctotal", "totaldiscs"}));
    tags.date = lookup(m, {"date", "year", "WM/Year"});
    tags.genre = lookup(m, {"genre", "WM/Genre"});
    tags.comment = lookup(m, {"comment", "description"});
    tags.composer = lookup(m, {"composer", "WM/Composer"});
    tags.copyright = lookup(m, {"copyright"});
    readCover(m, tags);
    if (mayEndInId3v1(m.format()->iformat->name))
        readId3v1(request, tags);
    return true;
}

bool readModule(const engine::MediaRequest& request, engine::MediaTags& tags)
{
    int error = 0;
    const auto module = engine::MusicChannel::open(request, 0, error);
    if (!module)
        return false;
    tags.title = QString::fromStdString(module->metadata("title")).trimmed();
    tags.artist = QString::fromStdString(module->metadata("artist")).trimmed();
    return true;
}

//! True when the file is a MIDI file (whatever its text holds).
bool readMidi(const engine::MediaRequest& request, engine::MediaTags& tags)
{
    int error = 0;
    const auto source = engine::MediaSource::open(request, error);
    if (!source)
        return false;
    std::uint8_t head[12] = {};
    const std::int64_t got = source->readAt(0, head, sizeof head);
    if (got <= 0 || !engine::MidiFile::looksLikeMidi(head, std::size_t(got)) || source->size() > kMaxMidiBytes)
        return false;
    std::vector<std::uint8_t> bytes(std::size_t(source->size()));
    if (source->readAt(0, bytes.data(), source->size()) != source->size())
        return true;
    const auto midi = engine::MidiFile::parse(std::move(bytes));
    if (!midi)
        return true;
    const engine::MidiText text = engine::MidiText::read(midi->smf);
    tags.title = decodeText(text.trackName);
    tags.copyright = decodeText(text.copyright);
    tags.comment = decodeText(text.text);
    return true;
}

} // namespace

engine::MediaTags ReadMediaTags(const QString& path)
{
    if (disc::TrackPath::parse(path))
        return disc::DiscTrackTags(path);
    engine::MediaRequest request;
    request.path = platform::nativeName(path).toStdString();
    engine::MediaTags tags;
    if (readMidi(request, tags) || readContainer(request, tags))
        return tags;
    readModule(request, tags);
    return tags;
}

} // namespace tags
