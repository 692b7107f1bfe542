#include "disc/CdDisc.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"

#include <QTemporaryDir>
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <mutex>

namespace disc {

namespace {

void ignoreMessage(cdio_log_level_t, const char*) {}

} // namespace

void CdDisc::quietLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_log_set_handler(ignoreMessage);
        // Fills libcdio's table of drivers once, before threads open discs.
        cdio_init();
    });
}

std::unique_ptr<CdDisc> CdDisc::openDrive(const QString& device)
{
    quietLibrary();
    std::unique_ptr<CdDisc> disc(new CdDisc);
    disc->m_cdio = cdio_open(platform::nativeName(device).constData(), DRIVER_DEVICE);
    if (!disc->m_cdio)
        return nullptr;
    disc->m_drive = true;
    disc->m_name = device;
    return disc;
}

std::unique_ptr<CdDisc> CdDisc::openImage(const QString& binFile)
{
    quietLibrary();
    std::unique_ptr<CdDisc> disc(new CdDisc);
    disc->m_view = std::make_unique<QTemporaryDir>();
    if (!disc->m_view->isValid())
        return nullptr;
    const QString sheet = disc->m_view->filePath(QStringLiteral("image.cue"));
    const QString image = disc->m_view->filePath(QStringLiteral("image.bin"));
    if (!platform::writeNewFile(sheet, "FILE \"image.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n") ||
        !platform::makeSymbolicLink(platform::absolutePath(binFile), image))
        return nullptr;
    disc->m_cdio = cdio_open(platform::nativeName(sheet).constData(), DRIVER_BINCUE);
    if (!disc->m_cdio)
        return nullptr;
    disc->m_name = binFile;
    return disc;
}

CdDisc::~CdDisc()
{
    if (m_cdio)
        cdio_destroy(m_cdio);
}

} // namespace disc
