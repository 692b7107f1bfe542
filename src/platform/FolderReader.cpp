#include "platform/FolderReader.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

FolderReader::FolderReader(const QByteArray& folder)
    : m_fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

FolderReader::~FolderReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

const char* FolderReader::next()
{
    while (m_fd >= 0) {
        if (m_offset >= m_filled) {
            m_filled = ::getdents64(m_fd, m_buffer, sizeof m_buffer);
            m_offset = 0;
            if (m_filled <= 0)
                return nullptr;
        }
        // The records are laid out as the kernel's, aligned for dirent64.
        const auto* entry = reinterpret_cast<const dirent64*>(m_buffer + m_offset);
        m_offset += entry->d_reclen;
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            return entry->d_name;
    }
    return nullptr;
}

} // namespace platform
