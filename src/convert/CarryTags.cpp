#include "convert/CarryTags.h"

#include "engine/ReadMediaTags.h"
#include "options/FormatOptions.h"

#include <QLoggingCategory>

namespace convert {

namespace {

Q_LOGGING_CATEGORY(lcConvert, "tonemill.convert")

//! The field each WMA tag box feeds, by box index.
QString MediaTags::*const kBoxFields[options::FormatOptions::kTagCount] = {
    &MediaTags::title,  &MediaTags::artist,    &MediaTags::album, &MediaTags::comment,
    &MediaTags::rating, &MediaTags::copyright, &MediaTags::genre, &MediaTags::date,
};

} // namespace

MediaTags outputTags(const options::FormatOptions& options, const QString& origfile, TagFormat format)
{
    MediaTags tags;
    if (options.chkCopyTags.Value())
        tags = engine::ReadMediaTags(origfile);
    if (format == TagFormat::Wma && options.chkWMAFileTags.Value()) {
        for (int i = 0; i < options::FormatOptions::kTagCount; ++i) {
            const QString box = options.txtWMATags(i).Text().trimmed();
            if (!box.isEmpty() && box != options::FormatOptions::tagPlaceholder(i))
                tags.*kBoxFields[i] = box;
        }
    }
    return tags;
}

bool CarryTags(const options::FormatOptions& options, const QString& origfile, const QString& outFile, TagFormat format)
{
    if (WriteFileTags(outFile, format, outputTags(options, origfile, format)))
        return true;
    qCWarning(lcConvert) << "could not write the tags of" << outFile;
    return false;
}

} // namespace convert
