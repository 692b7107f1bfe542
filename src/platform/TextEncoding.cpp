#include "platform/TextEncoding.h"

namespace platform {

namespace {

// Bytes 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

bool isValidUtf8(QByteArrayView text)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = uchar(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        char32_t min = 0;
        char32_t value = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            min = 0x80;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            min = 0x800;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            min = 0x10000;
            value = lead & 0x07;
        } else {
            return false; // a continuation byte, an overlong two-byte lead, or beyond the range
        }
        if (size - i < length)
            return false;
        for (int k = 1; k < length; ++k) {
            const uchar byte = uchar(text[i + k]);
            if (!isContinuation(byte))
                return false;
            value = (value << 6) | (byte & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

QString fromWindows1252(QByteArrayView text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (const char c : text) {
        const uchar byte = uchar(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(char16_t{byte});
    }
    return result;
}

} // namespace platform
