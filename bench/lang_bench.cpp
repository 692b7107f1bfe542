// Times the lookups a full caption pass makes: every identifier of the string
// table looked up once, from the language file parsed once and kept in
// memory; also with a language file of nearly 16 MB, the most one may hold.

#include "lang/StringLookup.h"
#include "support/Timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace lang;

namespace {

bool writeLanguageFile(const QString& path, bool longValues, qsizetype padding = 0)
{
    QByteArray content = "; every identifier of the string table\n[Tonemill]\n";
    for (qsizetype padded = 0; padded < padding; padded += 100)
        content += "; " + QByteArray(97, 'p') + '\n';
    for (const StringEntry& entry : kStringTable) {
        QByteArray text = entry.englishText;
        if (longValues)
            text = text.repeated(480 / text.size() + 1).left(480);
        content += idText(entry.id).toUtf8() + "=\"" + text + "\"\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Median over `runs` passes of the time one pass of every lookup takes, in ms.
double medianPassMs(int runs, qsizetype* checksum)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (const StringEntry& entry : kStringTable)
            *checksum += caption(entry.id).size();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return bench::median(times);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("Lang")))
        return 1;
    qputenv("TONEMILL_HOME", home.path().toUtf8());
    if (!writeLanguageFile(home.filePath(QStringLiteral("Lang/English.ini")), false) ||
        !writeLanguageFile(home.filePath(QStringLiteral("Lang/Long.ini")), true) ||
        !writeLanguageFile(home.filePath(QStringLiteral("Lang/Large.ini")), false, 16000000))
        return 1;

    const int lookups = int(std::size(kStringTable));
    const int runs = 31;
    qsizetype checksum = 0;
    const struct {
        const char* file;
        const char* what;
    } cases[] = {{"English.ini", "English file"}, {"Long.ini", "480-byte values"}, {"Large.ini", "16 MB file"}};
    for (const auto& c : cases) {
        sLanguageFile = QString::fromLatin1(c.file);
        medianPassMs(3, &checksum); // warm the file cache
        const qint64 size = QFileInfo(languageFilePath()).size();
        const double ms = medianPassMs(runs, &checksum);
        std::printf("lang: %d lookups (every identifier), %s (%lld bytes): median %.3f ms per pass, %.1f us per "
                    "lookup (%d runs; target < 5 ms)\n",
                    lookups, c.what, static_cast<long long>(size), ms, ms * 1000 / lookups, runs);
    }
    std::printf("checksum %lld\n", static_cast<long long>(checksum));
    return 0;
}
