#pragma once

#include "controls/SliderBitmap.h"

namespace controls {

//! The ten pictures the slider is painted from, drawn in code. Across its
//! 20 pixels a strip has a dark edge, bevel rows, the channel at pixels 6 to
//! 12, more bevel rows and a dark edge; the vertical pictures are the
//! horizontal ones turned, so "across" counts from the left there.
struct SliderArtwork {
    SliderBitmap PicLeft;       // 11 x 20
    SliderBitmap PicRight;      // 14 x 20
    SliderBitmap PicHandle;     // 19 x 10
    SliderBitmap PicEmptyFill;  // 1 x 20
    SliderBitmap PicFullFill;   // 1 x 20
    SliderBitmap PicUp;         // 20 x 14
    SliderBitmap PicDown;       // 20 x 11
    SliderBitmap PicHandle2;    // 10 x 19
    SliderBitmap PicEmptyFill2; // 20 x 1
    SliderBitmap PicFullFill2;  // 20 x 1

    //! The pictures as designed: empty channel black, full channel orange.
    static SliderArtwork make();

    //! Paints `rgb` (0xRRGGBB) into the seven channel pixels across a strip
    //! (rows of a 1-pixel-wide strip, columns of a 1-pixel-high one).
    static void paintChannel(SliderBitmap& strip, quint32 rgb);
};

} // namespace controls
