#include "convert/RewriteTagFields.h"

#include "convert/OutputFile.h"
#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace convert {

namespace {

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

bool RewriteTagFields(const QString& path, tags::TagFormat format, const QList<tags::TagField>& fields, QString* why)
{
    QString reason;
    if (fields.isEmpty())
        return true;
    std::unique_ptr<OutputFile> copy = OutputFile::create(path, &reason);
    bool done = copy && copyInto(path, *copy, &reason);
    if (done && !tags::WriteTagFields(copy->temporaryPath(), format, fields)) {
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
