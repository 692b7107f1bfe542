#pragma once

// Reading ReplayGain fields back with TagLib, for the tests of the loudness
// tags.

#include "platform/FileName.h"
#include "tags/WriteFileTags.h"

#include <QString>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/mp4file.h>
#include <taglib/tpropertymap.h>

namespace replaygaintest {

//! A free-form field as TagLib reads it back: the property of that name, an
//! MP4 "----:com.apple.iTunes:" item or an ASF attribute; empty when the
//! file or the field is not there.
inline QString readField(const QString& path, tags::TagFormat format, const QString& name)
{
    const QByteArray file = platform::nativeName(path);
    const TagLib::String key(name.toUtf8().constData(), TagLib::String::UTF8);
    if (format == tags::TagFormat::Mp4) {
        TagLib::MP4::File mp4(file.constData());
        if (!mp4.isValid() || !mp4.tag())
            return {};
        const TagLib::MP4::ItemMap items = mp4.tag()->itemMap();
        const auto item = items.find("----:com.apple.iTunes:" + key);
        return item == items.end() ? QString()
                                   : QString::fromStdString(item->second.toStringList().front().to8Bit(true));
    }
    if (format == tags::TagFormat::Wma) {
        TagLib::ASF::File asf(file.constData());
        if (!asf.isValid() || !asf.tag())
            return {};
        const TagLib::ASF::AttributeListMap& attributes = asf.tag()->attributeListMap();
        const auto found = attributes.find(key);
        return found == attributes.end() ? QString()
                                         : QString::fromStdString(found->second.front().toString().to8Bit(true));
    }
    const TagLib::FileRef ref(file.constData());
    if (ref.isNull())
        return {};
    const TagLib::PropertyMap properties = ref.file()->properties();
    const auto found = properties.find(key);
    return found == properties.end() ? QString() : QString::fromStdString(found->second.front().to8Bit(true));
}

//! The dB of a "-6.52 dB" gain field.
inline double gainOf(const QString& field)
{
    return field.section(u' ', 0, 0).toDouble();
}

} // namespace replaygaintest
