#include "support/PerFileComparison.h"

#include "support/Timing.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace bench {

PerFileComparison::PerFileComparison(const char* name, const QStringList& inputs, int minutes, int runs)
    : m_inputs(inputs), m_runs(runs)
{
    std::printf("%s: %lld files, %d min of audio, best of %d runs per file\n", name,
                static_cast<long long>(inputs.size()), minutes, runs);
    std::printf("%-6s %10s %14s %7s %12s %12s\n", "format", "ours (s)", "reference (s)", "ratio", "ours (MB)",
                "ref. (MB)");
}

QString PerFileComparison::target(const QString& extension)
{
    return m_out.filePath(QStringLiteral("o%1.%2").arg(m_serial++).arg(extension));
}

void PerFileComparison::compare(const QString& extension, const Conversion& ours, const Conversion& reference)
{
    double oursTotal = 0;
    double referenceTotal = 0;
    qint64 oursBytes = 0;
    qint64 referenceBytes = 0;
    for (const QString& in : m_inputs) {
        double bestOurs = 1e30;
        double bestReference = 1e30;
        for (int r = 0; r < m_runs; ++r) {
            const QString mine = target(extension);
            bestOurs =
                std::min(bestOurs, secondsOf([&] { return ours(in, mine) && QFileInfo(mine).size() > 0; }, &m_ok));
            oursBytes += QFileInfo(mine).size();
            QFile::remove(mine);

            const QString theirs = target(extension);
            bestReference = std::min(bestReference, secondsOf([&] { return reference(in, theirs); }, &m_ok));
            referenceBytes += QFileInfo(theirs).size();
            QFile::remove(theirs);
        }
        oursTotal += bestOurs;
        referenceTotal += bestReference;
    }
    std::printf("%-6s %10.2f %14.2f %7.3f %12.1f %12.1f\n", qPrintable(extension.toUpper()), oursTotal, referenceTotal,
                oursTotal / referenceTotal, double(oursBytes) / 1e6 / m_runs, double(referenceBytes) / 1e6 / m_runs);
    std::fflush(stdout);
}

} // namespace bench
