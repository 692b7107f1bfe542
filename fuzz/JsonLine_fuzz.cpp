// Any bytes as a file name in a JSON line: the line is one line of valid
// UTF-8 with no control character, and reading it gives the name back.
#include "cli/JsonLine.h"
#include "platform/FileName.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString name =
        platform::fromNativeName(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QByteArray line = cli::JsonLine().add("input", name).object();
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20)
            std::abort();
    }
    if (QString::fromUtf8(line).toUtf8() != line)
        std::abort();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || document.object().value(QStringLiteral("input")).toString() != name)
        std::abort();
    return 0;
}
