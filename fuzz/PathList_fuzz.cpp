// Any bytes as a list of paths, both ways of separating them: every path keeps
// its bytes, so the list joined again gives the input back.
#include "cli/PathList.h"
#include "platform/FileName.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const bool nul : {false, true}) {
        const char separator = nul ? '\0' : '\n';
        for (const QString& path : cli::splitPathList(bytes, nul)) {
            const QByteArray native = platform::nativeName(path);
            if (native.isEmpty() || native.contains(separator) || !bytes.contains(native))
                std::abort();
        }
    }
    return 0;
}
