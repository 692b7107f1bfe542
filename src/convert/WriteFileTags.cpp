#include "convert/WriteFileTags.h"

#include <QFile>
#include <QtEndian>
#include <cstring>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/asftag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
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

namespace convert {

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

bool writeMp3(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::MPEG::File file(name, false);
    if (!file.isValid())
        return false;
    fillId3v2(*file.ID3v2Tag(true), tags);
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

//! TagLib names the ID3 chunk "ID3 "; it is renamed to the lower-case "id3 "
//! that WAV readers have looked for the longest (readers of either spelling
//! take both).
bool renameId3Chunk(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    qint64 at = 12; // after "RIFF", the size and "WAVE"
    char head[8];
    while (file.seek(at) && file.read(head, 8) == 8) {
        if (std::memcmp(head, "ID3 ", 4) == 0)
            return file.seek(at) && file.write("id3 ", 4) == 4;
        const quint32 size = qFromLittleEndian<quint32>(head + 4);
        at += 8 + qint64(size) + qint64(size & 1);
    }
    return true;
}

bool writeWav(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::RIFF::WAV::File file(name, false);
    if (!file.isValid())
        return false;
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
    return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

bool writeOgg(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::Ogg::Vorbis::File file(name, false);
    if (!file.isValid() || !file.tag())
        return false;
    fillXiph(*file.tag(), tags);
    return file.save();
}

bool writeOpus(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::Ogg::Opus::File file(name, false);
    if (!file.isValid() || !file.tag())
        return false;
    fillXiph(*file.tag(), tags);
    return file.save();
}

bool writeFlac(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::FLAC::File file(name, false);
    if (!file.isValid())
        return false;
    file.xiphComment(true)->setProperties(xiphProperties(tags));
    if (!tags.cover.isEmpty())
        file.addPicture(flacPicture(tags));
    return file.save();
}

bool writeWma(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::ASF::File file(name, false);
    if (!file.isValid() || !file.tag())
        return false;
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
    return file.save();
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

bool writeMp4(const TagLib::FileName name, const engine::MediaTags& tags)
{
    TagLib::MP4::File file(name, false);
    if (!file.isValid() || !file.tag())
        return false;
    TagLib::MP4::Tag& tag = *file.tag();
    tag.setProperties(properties(tags));
    if (!tags.cover.isEmpty()) {
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(mp4CoverFormat(tags.coverMime), bytes(tags.cover)));
        tag.setItem("covr", covers);
    }
    return file.save();
}

} // namespace

bool RenameWavId3Chunk(const QString& path)
{
    return renameId3Chunk(path);
}

bool WriteFileTags(const QString& path, TagFormat format, const engine::MediaTags& tags)
{
    if (tags.isEmpty())
        return true;
    const QByteArray encoded = QFile::encodeName(path);
    const TagLib::FileName name = encoded.constData();
    switch (format) {
    case TagFormat::Wav:
        return writeWav(name, tags) && renameId3Chunk(path);
    case TagFormat::Mp3:
        return writeMp3(name, tags);
    case TagFormat::Ogg:
        return writeOgg(name, tags);
    case TagFormat::Wma:
        return writeWma(name, tags);
    case TagFormat::Flac:
        return writeFlac(name, tags);
    case TagFormat::Opus:
        return writeOpus(name, tags);
    case TagFormat::Mp4:
        return writeMp4(name, tags);
    }
    return false;
}

} // namespace convert
