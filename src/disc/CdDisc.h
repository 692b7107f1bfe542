#pragma once

#include <QString>
#include <memory>

typedef struct _CdIo CdIo_t;
class QTemporaryDir;

namespace disc {

//! A disc opened through libcdio for reading its audio sectors: an optical
//! drive, or a BIN image of raw 2352-byte sectors. An image is shown to
//! libcdio's BIN/CUE image driver through a private folder holding a link to
//! it and a sheet of one track that spans it (the driver takes the image's
//! name from the sheet's and reads one file only), so the track layout stays
//! the caller's and images are read exactly as drives are.
class CdDisc {
public:
    static std::unique_ptr<CdDisc> openDrive(const QString& device);
    static std::unique_ptr<CdDisc> openImage(const QString& binFile);
    ~CdDisc();
    CdDisc(const CdDisc&) = delete;
    CdDisc& operator=(const CdDisc&) = delete;

    CdIo_t* cdio() const { return m_cdio; }
    bool isDrive() const { return m_drive; }
    //! The device or the image file.
    const QString& name() const { return m_name; }

    //! Starts libcdio once and keeps it from writing its warnings on
    //! standard error; every open runs it first.
    static void quietLibrary();

private:
    CdDisc() = default;

    CdIo_t* m_cdio = nullptr;
    bool m_drive = false;
    QString m_name;
    std::unique_ptr<QTemporaryDir> m_view;
};

} // namespace disc
