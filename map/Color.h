// ScaleMap: the displayed map of a zoom level, derived from the master.
//
// Pixels are blue, green, red bytes (see Bitmap.h); each byte is computed on
// its own, by integer sums divided with truncation. On entry `view` holds a
// full-size copy of `master` (level 6 relies on it and writes nothing). The
// view is resized to ScaledSide(W, level) x ScaledSide(H, level) and filled:
//
//   levels 0-3  the top-left pixel of every 10th, 5th, 4th or 3rd block
//   level 4     the floor of the mean of each 2 x 2 block
//   level 5     each 4 x 4 block becomes a 3 x 3 block: corners copied, edge
//               pixels the floor of the mean of two, the centre the floor of
//               the mean of four
//   level 6     nothing
//
// Only rows of `master` inside its size are read and only rows of `view`
// inside its new size are written. Throws nothing for a level in 0..6.
#pragma once

#include "Bitmap.h"

void ScaleMap(int level, const TBitmap& master, TBitmap& view);
