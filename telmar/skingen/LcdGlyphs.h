// The LCD glyphs of bitmap 2021: seven-segment digits with ghosted unlit segments,
// colons, transport indicators, meter segments, volume bars and strip arrows, all
// on the LCD ground so that they blend into the glass of bitmap 2020.
#pragma once

#include "Raster.h"

namespace skingen {

void PaintLcdGlyphs(RgbImage& faces);

}  // namespace skingen
