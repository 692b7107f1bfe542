#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <semaphore.h>

namespace platform {

void CreateNamedMutex(const QString& name)
{
    // Kept open and never closed: the object exists for as long as we run.
    const QByteArray semName = '/' + name.toUtf8();
    static sem_t* handle = nullptr;
    if (!handle)
        handle = sem_open(semName.constData(), O_CREAT, 0644, 1);
}

} // namespace platform
