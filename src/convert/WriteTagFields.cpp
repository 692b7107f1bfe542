#include "convert/WriteTagFields.h"

#include "convert/CheckedTagStream.h"
#include "convert/OutputFile.h"
#include "convert/WriteFileTags.h"
#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
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
#include <unistd.h>

namespace convert {

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

//! Copies the file at `from` into `to`'s temporary file; false with the reason.
bool copyInto(const QString& from, OutputFile& to, QString* why)
{
    const int source = ::open(platform::nativeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        *why = platform::systemErrorText(errno);
        return false;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    bool copied = false;
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), std::size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = platform::systemErrorText(errno);
            break;
        }
        if (got == 0) {
            copied = true;
            break;
        }
        if (!to.write(buffer.constData(), qint64(got))) {
            *why = to.error();
            break;
        }
    }
    ::close(source);
    return copied;
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

bool RewriteTagFields(const QString& path, TagFormat format, const QList<TagField>& fields, QString* why)
{
    QString reason;
    if (fields.isEmpty())
        return true;
    std::unique_ptr<OutputFile> copy = OutputFile::create(path, &reason);
    bool done = copy && copyInto(path, *copy, &reason);
    if (done && !WriteTagFields(copy->temporaryPath(), format, fields)) {
        // TagLib says no more than that; a full disk is the usual cause.
        reason = QStringLiteral("the tags could not be written");
        done = false;
    }
    if (done && !copy->commitReplacing()) {
        reason = copy->error();
        done = false;
    }
    if (!done && why)
        *why = reason;
    return done;
}

} // namespace convert
