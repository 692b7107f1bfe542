#include "remedy/TransferJob.h"

namespace remedy {

void TransferJob::markFinished()
{
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished();
}

} // namespace remedy
