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
// At level 5 a master side that leaves 2 or 3 when divided by 4 ends in a
// partial block: its one or two destination columns (rows) follow the leading
// part of the block pattern (the copy of source column 4g, then the mean of
// columns 4g+1 and 4g+2), which needs no source column (row) past the master.
//
// Only rows of `master` inside its size are read and only rows of `view`
// inside its new size are written. A view of 2^20 pixels or more is filled by
// two threads, half its rows each; the call returns when both are done.
// Throws nothing for a level in 0..6.
#pragma once

#include "Bitmap.h"

void ScaleMap(int level, const TBitmap& master, TBitmap& view);
