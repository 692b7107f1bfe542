#include "tags/WriteTagFields.h"

#include "tags/CheckedTagStream.h"
#include "tags/WriteFileTags.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

namespace tags {

namespace {

TagLib::String text(const QString& value)
{
    return TagLib::String(value.toUtf8().constData(), TagLib::String::UTF8);
}

void setUserTexts(TagLib::ID3v2::Tag& tag, const QList<TagField>& fields)
{
    for (const TagField& field : fields) {
        while (auto* old = TagLib::ID3v2::UserTextIdentificationFrame::find(&tag, text(field.name)))
            tag.removeFrame(old);
        auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(TagLib::String::UTF8);
        frame->setDescription(text(field.name));
        frame->setText(text(field.value));
        tag.addFrame(frame);
    }
}

void setComments(TagLib::Ogg::XiphComment& comment, const QList<TagField>& fields)
{
    for (const TagField& field : fields)
        comment.addField(text(field.name), text(field.value), true);
}

bool writeMp3(CheckedTagStream& stream, const QList<TagField>& fields)
{
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return false;
    setUserTexts(*file.ID3v2Tag(true), fields);
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4);
}

bool writeWav(CheckedTagStream& stream, const QList<TagField>& fields)
{
    TagLib::RIFF::WAV::File file(&stream, false);
    if (!file.isValid())
        return false;
    setUserTexts(*file.ID3v2Tag(), fields);
    // Only the ID3 chunk is rewritten; the INFO chunk stays as it is.
    if (!file.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v4))
        return false;
    RenameWavId3Chunk(stream);
    return true;
}

template <typename File> bool writeOgg(CheckedTagStream& stream, const QList<TagField>& fields)
{
    File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return false;
    setComments(*file.tag(), fields);
    return file.save();
}

bool writeFlac(CheckedTagStream& stream, const QList<TagField>& fields)
{
    TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        return false;
    setComments(*file.xiphComment(true), fields);
    return file.save();
}

bool writeMp4(CheckedTagStream& stream, const QList<TagField>& fields)
{
    TagLib::MP4::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return false;
    for (const TagField& field : fields)
        file.tag()->setItem(text(QStringLiteral("----:com.apple.iTunes:") + field.name),
                            TagLib::MP4::Item(TagLib::StringList(text(field.value))));
    return file.save();
}

bool writeWma(CheckedTagStream& stream, const QList<TagField>& fields)
{
    TagLib::ASF::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        return false;
    for (const TagField& field : fields)
        file.tag()->setAttribute(text(field.name), TagLib::ASF::Attribute(text(field.value)));
    if (!file.save())
        return false;
    UpdateAsfFileSize(stream);
    return true;
}

} // namespace

bool WriteTagFields(const QString& path, TagFormat format, const QList<TagField>& fields)
{
    if (fields.isEmpty())
        return true;
    // Every write is checked: TagLib's own file stream would let a full
    // disk cut the file unnoticed.
    CheckedTagStream stream(path);
    if (!stream.isOpen())
        return false;
    bool saved = false;
    switch (format) {
    case TagFormat::Wav:
        saved = writeWav(stream, fields);
        break;
    case TagFormat::Mp3:
        saved = writeMp3(stream, fields);
        break;
    case TagFormat::Ogg:
        saved = writeOgg<TagLib::Ogg::Vorbis::File>(stream, fields);
        break;
    case TagFormat::Opus:
        saved = writeOgg<TagLib::Ogg::Opus::File>(stream, fields);
        break;
    case TagFormat::Flac:
        saved = writeFlac(stream, fields);
        break;
    case TagFormat::Mp4:
        saved = writeMp4(stream, fields);
        break;
    case TagFormat::Wma:
        saved = writeWma(stream, fields);
        break;
    }
    return saved && stream.finish();
}

} // namespace tags
