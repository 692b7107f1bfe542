#include "convert/WmaBitrateList.h"

#include <cmath>

namespace convert {

WmaBitrateList::WmaBitrateList(QObject* parent)
    : options::ListState(QStringLiteral("cmbWMAEncodingBitrate"), {}, -1, parent)
{
}

DWORD WmaBitrateList::ItemData(int index) const
{
    return index >= 0 && index < m_itemData.size() ? m_itemData.at(index) : 0;
}

void WmaBitrateList::fillFromRates(const DWORD* rates)
{
    QStringList texts;
    QList<DWORD> data;
    for (const DWORD* rate = rates; rate && *rate != 0; ++rate) {
        texts.append(entryText(*rate));
        data.append(*rate);
    }
    m_itemData = data;
    setItems(texts);
}

int WmaBitrateList::selectForQuality(int quality)
{
    const int count = ListCount();
    if (count == 0 || quality < 0 || quality > 100)
        return -1;
    // n = quality / 100 × count, rounded half to even, worked in integers so
    // that 55 % of 10 entries is exactly 5.5 (giving 6).
    const int scaled = quality * count;
    int n = scaled / 100;
    const int rest = scaled % 100;
    if (rest > 50 || (rest == 50 && n % 2 == 1))
        ++n;
    if (n == 0)
        n = 1;
    if (!setListIndex(count - n))
        return -1;
    return rateOfText(Text());
}

QString WmaBitrateList::entryText(DWORD rate)
{
    const qint64 kbps = std::llround(static_cast<double>(rate) / 1000.0);
    QString digits = QString::number(kbps);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits + QStringLiteral(" Kbps");
}

int WmaBitrateList::rateOfText(const QString& text)
{
    qint64 value = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            value = value * 10 + (c.unicode() - u'0');
        else if (c != u',')
            break;
        if (value > 2'000'000)
            return -1;
    }
    return static_cast<int>(value * 1000);
}

int GetWMABitRateFromQuality(WmaBitrateList& cmbWMAEncodingBitrate, bool loading, DWORD freq, DWORD chans, int quality)
{
    if (loading)
        return 0;
    const DWORD* rates = BASS_WMA_EncodeGetRates(freq, chans, BASS_WMA_ENCODE_STANDARD);
    if (!rates)
        return -1;
    cmbWMAEncodingBitrate.fillFromRates(rates);
    if (cmbWMAEncodingBitrate.ListCount() == 0)
        return 0;
    return cmbWMAEncodingBitrate.selectForQuality(quality);
}

} // namespace convert
