// Paints the player window face (bitmap 2020) and, from renders of the same face,
// the pressed and highlighted hotspot faces and the LCD glyphs of bitmap 2021.
#pragma once

#include "Raster.h"

namespace skingen {

enum class Look { Normal, Pressed, Highlighted };

// The whole window face with hotspot `hotId` in `look` and every other one normal
// (hotId 0: all normal). Without the eject button the face shows what mpdeck's
// cover piece shows there.
RgbImage PaintWindow(unsigned hotId, Look look, bool withEject = true);

// Bitmap 2021: hotspot faces at their source rectangles, the eject cover piece,
// digits, colons, indicators, meter segments, volume bars and strip arrows.
RgbImage PaintFaces();

}  // namespace skingen
