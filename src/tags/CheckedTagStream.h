#pragma once

#include <QByteArray>
#include <QString>
#include <taglib/tiostream.h>

namespace tags {

//! The file TagLib saves tags through, with every write checked. TagLib's own
//! file stream drops the result of each write, so a disk that fills while the
//! tags go in (and the audio behind them is moved) left a cut or empty file
//! that still reported success. This one keeps the first failure in the
//! system's words, refuses every write after it, and knows the size the file
//! must have when all went well.
class CheckedTagStream : public TagLib::IOStream {
public:
    //! Opens `path` for reading and writing; never follows a link.
    explicit CheckedTagStream(const QString& path);
    ~CheckedTagStream() override;

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0, unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return m_fd < 0; }
    bool isOpen() const override { return m_fd >= 0; }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return m_position; }
    long length() override { return m_size; }
    void truncate(long length) override;

    //! After the tags are saved: flushes the file to disk and checks that it
    //! holds exactly the bytes written. False, with error() set, when
    //! anything failed since the file was opened.
    [[nodiscard]] bool finish();

    bool failed() const { return m_errno != 0; }
    //! The first failure in the system's words ("No space left on device").
    QString error() const;

private:
    bool fail(int error);
    [[nodiscard]] bool writeAt(const char* data, long bytes, long offset);
    bool readAt(char* data, long bytes, long offset);

    QByteArray m_name;
    int m_fd = -1;
    int m_errno = 0;
    long m_position = 0;
    long m_size = 0; // the size the file has when every write went through
};

} // namespace tags
