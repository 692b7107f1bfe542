#pragma once

#include <QByteArrayView>
#include <QString>

namespace platform {

//! True when `text` is well-formed UTF-8: no stray continuation byte, no
//! truncated, overlong or surrogate sequence, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView text);

//! Decodes Windows-1252 text. The five bytes the code page leaves undefined
//! become the C1 control characters of the same value, as Windows maps them.
QString fromWindows1252(QByteArrayView text);

} // namespace platform
