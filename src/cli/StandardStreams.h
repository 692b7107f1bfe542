#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>

namespace cli {

//! A folder of this run's own below $TMPDIR (or /tmp), made readable by
//! its user alone and removed, with what it holds, when the object goes.
class ScratchFolder {
public:
    ScratchFolder() = default;
    ScratchFolder(ScratchFolder&& other) noexcept : m_path(std::move(other.m_path)) { other.m_path.clear(); }
    ScratchFolder& operator=(ScratchFolder&& other) noexcept
    {
        std::swap(m_path, other.m_path);
        return *this;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    //! Makes one; nothing, with the system's reason in `error`, when it cannot.
    static std::optional<ScratchFolder> make(QString& error);

    const QString& path() const { return m_path; }

private:
    QString m_path;
};

//! The extension audio whose file begins with `head` takes ("flac", "wav",
//! "mp3", "ogg", "opus", "m4a", "wma", "aiff", "aac", "wv"); empty when the
//! bytes name none of them.
QString audioExtension(const QByteArray& head);

//! Copies all of standard input (`fd`) into `folder` as "stdin.EXT", the
//! extension its first bytes name ("stdin" without one when they name none,
//! which admission then refuses as not audio). The file's path, or nothing
//! with the system's reason in `error`.
std::optional<QString> spoolStandardInput(const QString& folder, QString& error, int fd = 0);

//! Copies the file at `path` to standard output (`fd`); false with the
//! system's reason in `error`.
bool copyToStandardOutput(const QString& path, QString& error, int fd = 1);

} // namespace cli
