#pragma once

#include <QByteArray>
#include <sys/types.h>

namespace platform {

//! Reads the names in one folder straight from the system (getdents64), so
//! any number of threads may each read a folder of their own: readdir keeps
//! its place in a stream the C library may share, readdir_r is withdrawn.
//! The folder stays open while the reader lives; its descriptor serves the
//! *at() calls on the names read.
class FolderReader {
public:
    //! Opens `folder` (bytes as the system has them); isOpen() says whether it worked.
    explicit FolderReader(const QByteArray& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    //! The open folder, for openat(), fstatat() and unlinkat().
    int fd() const { return m_fd; }
    //! The next name, "." and ".." left out; nullptr at the end, or when
    //! reading fails. Valid until the next call.
    const char* next();

private:
    int m_fd = -1;
    ssize_t m_filled = 0;
    ssize_t m_offset = 0;
    alignas(8) char m_buffer[16384];
};

} // namespace platform
