#include "convert/TransferJob.h"

namespace convert {

void TransferJob::markFinished()
{
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished();
}

} // namespace convert
