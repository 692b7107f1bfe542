#include "tags/WriteFileTags.h"

#include "tags/CheckedTagStream.h"

#include <QtEndian>
#include <cstring>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

namespace tags {

namespace {

using TagLib::ByteVector;
using TagLib::PropertyMap;
using TagLib::String;

String text(const QString& value)
{
    return String(value.toUtf8().constData(), String::UTF8);
}

ByteVector bytes(const QByteArray& data)
{
    return ByteVector(data.constData(), static_cast<unsigned>(data.size()));
}

void put(PropertyMap& map, const char* key, const QString& value)
{
    if (!value.isEmpty())
        map.replace(key, TagLib::StringList(text(value)));
}

//! The common fields under their TagLib property names.
PropertyMap properties(const engine::MediaTags& tags)
{
    PropertyMap map;
    put(map, "TITLE", tags.title);
    put(map, "ARTIST", tags.artist);
    put(map, "ALBUM", tags.album);
    put(map, "ALBUMARTIST", tags.albumArtist);
    put(map, "TRACKNUMBER", tags.track);
    put(map, "DISCNUMBER", tags.disc);
    put(map, "DATE", tags.date);
    put(map, "GENRE", tags.genre);
    put(map, "COMMENT", tags.comment);
    put(map, "COMPOSER", tags.composer);
    put(map, "COPYRIGHT", tags.copyright);
    return map;
}

//! Vorbis comments keep "3/12" as TRACKNUMBER=3 and TRACKTOTAL=12.
void splitTotal(PropertyMap& map, const char* numberKey, const char* totalKey, const QString& value)
{
    const qsizetype slash = value.indexOf(u'/');
    if (slash < 0)
        return;
    put(map, numberKey, value.left(slash).trimmed());
    put(map, totalKey, value.mid(slash + 1).trimmed());
}

PropertyMap xiphProperties(const engine::MediaTags& tags)
{
    PropertyMap map = properties(tags);
    splitTotal(map, "TRACKNUMBER", "TRACKTOTAL", tags.track);
    splitTotal(map, "DISCNUMBER", "DISCTOTAL", tags.disc);
    return map;
}

TagLib::FLAC::Picture* flacPicture(const engine::MediaTags& tags)
{
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(text(tags.coverMime));
    picture->setData(bytes(tags.cover));
    return picture;
}

void fillId3v2(TagLib::ID3v2::Tag& tag, const engine::MediaTags& tags)
{
    tag.setProperties(properties(tags));
    if (tags.cover.isEmpty())
        return;
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setMimeType(text(tags.coverMime));
    frame->setPicture(bytes(tags.cover));
    tag.addFrame(frame);
}

void fillXiph(TagLib::Ogg::XiphComment& comment, const engine::MediaTags& tags)
{
    comment.setProperties(xiphProperties(tags));
    if (!tags.cover.isEmpty())
        comment.addPicture(flacPicture(tags));
}

//! What one writer came to: the file could not be read as its format (and
//! was left untouched), or TagLib's save result.
enum class Saved { NotThisFormat, Failed, Done };

Saved saved(bool result)
{
    return result ? Saved::Done : Saved::Failed;
}

Saved writeMp3(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return Saved::NotThisFormat;
    fillId3v2(*file.ID3v2Tag(true), tags);
    return saved(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4));
}

//! TagLib names the ID3 chunk "ID3 "; it is renamed to the lower-case "id3 "
//! that WAV readers have looked for the longest (readers of either spelling
//! take both).
void renameId3Chunk(CheckedTagStream& stream)
{
    long at = 12; // after "RIFF", the size and "WAVE"
    for (;;) {
        stream.seek(at);
        const TagLib::ByteVector head = stream.readBlock(8);
        if (head.size() != 8)
            return;
        if (std::memcmp(head.data(), "ID3 ", 4) == 0) {
            stream.seek(at);
            stream.writeBlock(TagLib::ByteVector("id3 ", 4));
            return;
        }
        const quint32 size = qFromLittleEndian<quint32>(head.data() + 4);
        at += 8 + long(size) + long(size & 1);
    }
}

Saved writeWav(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::RIFF::WAV::File file(&stream, false);
    if (!file.isValid())
        return Saved::NotThisFormat;
    // INFO holds what its fixed fields can say, as UTF-8; the ID3v2 chunk
    // carries every field and the cover.
    TagLib::RIFF::Info::Tag& info = *file.InfoTag();
    const std::pair<const char*, const QString*> infoFields[] = {
        {"INAM", &tags.title}, {"IART", &tags.artist}, {"IPRD", &tags.album},   {"ITRK", &tags.track},
        {"ICRD", &tags.date},  {"IGNR", &tags.genre},  {"ICMT", &tags.comment}, {"ICOP", &tags.copyright},
    };
    for (const auto& [id, value] : infoFields)
        if (!value->isEmpty())
            info.setFieldText(id, text(*value));
    fillId3v2(*file.ID3v2Tag(), tags);
    if (!file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v4))
        return Saved::Failed;
    renameId3Chunk(stream);
    return Saved::Done;
}

Saved writeOgg(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::Ogg::Vorbis::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return Saved::NotThisFormat;
    fillXiph(*file.tag(), tags);
    return saved(file.save());
}

Saved writeOpus(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::Ogg::Opus::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return Saved::NotThisFormat;
    fillXiph(*file.tag(), tags);
    return saved(file.save());
}

Saved writeFlac(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return Saved::NotThisFormat;
    file.xiphComment(true)->setProperties(xiphProperties(tags));
    if (!tags.cover.isEmpty())
        file.addPicture(flacPicture(tags));
    return saved(file.save());
}

//! TagLib leaves the File Properties object's "file size" as it was. FFmpeg's
//! reader trusts the header's play duration only while that size is within
//! 5% of the file's real one, and estimates the length from the bit rate
//! otherwise: after large tags, a wrong length. The field is set to the size
//! the file has now.
void updateAsfFileSize(CheckedTagStream& stream)
{
    static const TagLib::ByteVector kFileProperties("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65",
                                                    16);
    constexpr long kHeaderBytes = 30; // GUID, size, object count, two reserved bytes
    constexpr long kFileSizeAt = 40;  // GUID, size, file ID
    stream.seek(0);
    const TagLib::ByteVector header = stream.readBlock(kHeaderBytes);
    if (header.size() != kHeaderBytes)
        return;
    const quint32 objects = qFromLittleEndian<quint32>(header.data() + 24);
    long at = kHeaderBytes;
    for (quint32 i = 0; i < objects; ++i) {
        stream.seek(at);
        const TagLib::ByteVector object = stream.readBlock(24);
        if (object.size() != 24)
            return;
        const quint64 size = qFromLittleEndian<quint64>(object.data() + 16);
        if (object.mid(0, 16) == kFileProperties) {
            char field[8];
            qToLittleEndian<quint64>(quint64(stream.length()), field);
            stream.seek(at + kFileSizeAt);
            stream.writeBlock(TagLib::ByteVector(field, 8));
            return;
        }
        if (size < 24)
            return;
        at += long(size);
    }
}

Saved writeWma(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::ASF::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return Saved::NotThisFormat;
    TagLib::ASF::Tag& tag = *file.tag();
    tag.setProperties(properties(tags));
    // An attribute of its own, where readers list it with the others (the
    // rating field of the content description is skipped by most of them).
    if (!tags.rating.isEmpty())
        tag.setAttribute("Rating", TagLib::ASF::Attribute(text(tags.rating)));
    if (!tags.cover.isEmpty()) {
        TagLib::ASF::Picture picture;
        picture.setType(TagLib::ASF::Picture::FrontCover);
        picture.setMimeType(text(tags.coverMime));
        picture.setPicture(bytes(tags.cover));
        tag.setAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
    }
    if (!file.save())
        return Saved::Failed;
    updateAsfFileSize(stream);
    return Saved::Done;
}

TagLib::MP4::CoverArt::Format mp4CoverFormat(const QString& mime)
{
    if (mime == QLatin1String("image/png"))
        return TagLib::MP4::CoverArt::PNG;
    if (mime == QLatin1String("image/bmp"))
        return TagLib::MP4::CoverArt::BMP;
    if (mime == QLatin1String("image/gif"))
        return TagLib::MP4::CoverArt::GIF;
    return TagLib::MP4::CoverArt::JPEG;
}

Saved writeMp4(CheckedTagStream& stream, const engine::MediaTags& tags)
{
    TagLib::MP4::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return Saved::NotThisFormat;
    TagLib::MP4::Tag& tag = *file.tag();
    tag.setProperties(properties(tags));
    if (!tags.cover.isEmpty()) {
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(mp4CoverFormat(tags.coverMime), bytes(tags.cover)));
        tag.setItem("covr", covers);
    }
    return saved(file.save());
}

Saved write(CheckedTagStream& stream, TagFormat format, const engine::MediaTags& tags)
{
    switch (format) {
    case TagFormat::Wav:
        return writeWav(stream, tags);
    case TagFormat::Mp3:
        return writeMp3(stream, tags);
    case TagFormat::Ogg:
        return writeOgg(stream, tags);
    case TagFormat::Wma:
        return writeWma(stream, tags);
    case TagFormat::Flac:
        return writeFlac(stream, tags);
    case TagFormat::Opus:
        return writeOpus(stream, tags);
    case TagFormat::Mp4:
        return writeMp4(stream, tags);
    }
    return Saved::NotThisFormat;
}

} // namespace

void RenameWavId3Chunk(CheckedTagStream& stream)
{
    renameId3Chunk(stream);
}

void UpdateAsfFileSize(CheckedTagStream& stream)
{
    updateAsfFileSize(stream);
}

bool WriteFileTags(const QString& path, TagFormat format, const engine::MediaTags& tags, QString* failure)
{
    if (failure)
        failure->clear();
    if (tags.isEmpty())
        return true;
    CheckedTagStream stream(path);
    if (!stream.isOpen()) {
        if (failure)
            *failure = stream.error();
        return false;
    }
    const Saved result = write(stream, format, tags);
    // Nothing was written to a file TagLib could not read as `format`.
    if (result == Saved::NotThisFormat && !stream.failed())
        return false;
    if (result == Saved::Done && stream.finish())
        return true;
    if (failure)
        *failure = stream.failed() ? stream.error() : QStringLiteral("the tags could not be written");
    return false;
}

} // namespace tags
