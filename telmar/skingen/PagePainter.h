// Paints bitmap 2023: the command buttons of the property pages, each a 54 x 49
// tile with an icon and its label, normal at y = 20 and disabled at y = 70.
#pragma once

#include "Raster.h"

namespace skingen {

RgbImage PaintPageButtons();

}  // namespace skingen
