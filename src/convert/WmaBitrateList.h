#pragma once

#include "engine/Bass.h"
#include "options/ListState.h"

#include <QList>

namespace convert {

//! The drop-down list `cmbWMAEncodingBitrate`: the bit rates the WMA encoder
//! offers for the input being converted, each shown as "128 Kbps" and holding
//! the exact rate in bits per second as its item data. Empty at start; every
//! GetWMABitRateFromQuality call rebuilds it.
class WmaBitrateList : public options::ListState {
    Q_OBJECT
public:
    explicit WmaBitrateList(QObject* parent = nullptr);

    //! The exact rate of entry `index` in bits per second; 0 outside the list.
    DWORD ItemData(int index) const;

    //! Replaces the entries with `rates` (bits per second, up to a closing 0
    //! or the end); none is chosen afterwards.
    void fillFromRates(const DWORD* rates);

    //! Chooses the entry for a quality of 0 to 100 over the list: quality 100
    //! the first (highest) rate, quality 0 and the lowest few the last one.
    //! Returns the rate of the entry's text (the kilobit value × 1000), or -1
    //! when the list is empty or the quality lies outside 0 to 100.
    int selectForQuality(int quality);

    //! The text of an entry: the rate in kilobits per second, rounded, with
    //! groups of thousands ("1,411 Kbps").
    static QString entryText(DWORD rate);

    //! The bit rate a text stands for: its leading number (groups of
    //! thousands allowed) times 1000.
    static int rateOfText(const QString& text);

private:
    QList<DWORD> m_itemData;
};

//! The bit rate to encode `freq` Hz, `chans` channels at quality `quality`
//! with, after rebuilding `cmbWMAEncodingBitrate` from the encoder's rates for
//! that format. 0 while the window is still loading (the list is left alone);
//! -1 when the encoder offers no rates for the format or the choice fails.
int GetWMABitRateFromQuality(WmaBitrateList& cmbWMAEncodingBitrate, bool loading, DWORD freq, DWORD chans, int quality);

} // namespace convert
