// A PNG for people: both players as they look when composed from the shipped
// bitmaps by the layout, and the three bitmaps with every rectangle outlined.
#pragma once

#include <string>

#include "Raster.h"

namespace skingen {

struct SkinImages {
    RgbImage window;   // 2020
    RgbImage faces;    // 2021
    RgbImage buttons;  // 2023
};

bool WritePreview(const SkinImages& skin, const std::string& pngPath);

// mpdeck's window composed the way the player paints it: face, cover piece,
// digits, indicators, meter and the hotspot `hotId` highlighted.
RgbImage ComposeMpdeck(const SkinImages& skin, unsigned highlightedHotspot);

}  // namespace skingen
