#include "platform/RegularFile.h"

#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

//! Why a file of this kind and size is not read; empty when it is read.
QString refusal(const struct stat& st, qint64 maxBytes)
{
    if (S_ISDIR(st.st_mode))
        return systemErrorText(EISDIR);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("Not a regular file");
    if (qint64(st.st_size) > maxBytes)
        return systemErrorText(EFBIG);
    return {};
}

} // namespace

QString readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content)
{
    content.clear();
    const QByteArray name = nativeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return systemErrorText(errno);
    if (QString why = refusal(st, maxBytes); !why.isEmpty())
        return why;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return systemErrorText(errno);
    QString why;
    if (::fstat(fd, &st) != 0)
        why = systemErrorText(errno);
    else
        why = refusal(st, maxBytes);
    if (why.isEmpty()) {
        // One more byte than allowed shows a file that grew meanwhile.
        content.resize(qsizetype(st.st_size) + 1);
        qsizetype done = 0;
        while (done < content.size()) {
            const ssize_t count = ::read(fd, content.data() + done, std::size_t(content.size() - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                why = systemErrorText(errno);
            if (count <= 0)
                break;
            done += count;
            if (done > maxBytes) {
                why = systemErrorText(EFBIG);
                break;
            }
            if (done == content.size())
                content.resize(content.size() * 2);
        }
        content.truncate(why.isEmpty() ? done : 0);
    }
    ::close(fd);
    return why;
}

} // namespace platform
