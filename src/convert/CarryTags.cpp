#include "convert/CarryTags.h"

#include "options/FormatOptions.h"
#include "tags/ReadMediaTags.h"

#include <QLoggingCategory>

namespace convert {

namespace {

Q_LOGGING_CATEGORY(lcConvert, "tonemill.convert")

//! The field each WMA tag box feeds, by box index.
QString engine::MediaTags::*const kBoxFields[options::FormatOptions::kTagCount] = {
    &engine::MediaTags::title,  &engine::MediaTags::artist,    &engine::MediaTags::album, &engine::MediaTags::comment,
    &engine::MediaTags::rating, &engine::MediaTags::copyright, &engine::MediaTags::genre, &engine::MediaTags::date,
};

} // namespace

engine::MediaTags outputTags(const options::FormatOptions& options, const QString& origfile, tags::TagFormat format)
{
    engine::MediaTags tags;
    if (options.chkCopyTags.Value())
        tags = tags::ReadMediaTags(origfile);
    if (format == tags::TagFormat::Wma && options.chkWMAFileTags.Value()) {
        for (int i = 0; i < options::FormatOptions::kTagCount; ++i) {
            const QString box = options.txtWMATags(i).Text().trimmed();
            if (!box.isEmpty() && box != options::FormatOptions::tagPlaceholder(i))
                tags.*kBoxFields[i] = box;
        }
    }
    return tags;
}

QString CarryTags(const options::FormatOptions& options, const QString& origfile, const QString& outFile,
                  tags::TagFormat format)
{
    QString failure;
    if (tags::WriteFileTags(outFile, format, outputTags(options, origfile, format), &failure))
        return {};
    qCWarning(lcConvert) << "could not write the tags of" << outFile << failure;
    return failure;
}

} // namespace convert
