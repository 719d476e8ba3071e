// Reduces RGB images to one shared 256-colour table. Pixels are mapped to their
// nearest table colour without dithering, so equal RGB always gives the same index:
// a face copied from one bitmap onto another then matches the pixels around it.
#pragma once

#include <cstdint>
#include <vector>

#include "Raster.h"

namespace skingen {

constexpr int kPaletteSize = 256;

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;  // rows top to bottom
};

// A table of at most kPaletteSize colours for all images together. Every reserved
// colour is in the table exactly; the rest comes from a median cut refined by a few
// k-means passes. When the images hold few enough colours, all are kept exactly.
std::vector<uint32_t> BuildPalette(const std::vector<const RgbImage*>& images,
                                   const std::vector<uint32_t>& reserved);

IndexedImage MapToPalette(const RgbImage& image, const std::vector<uint32_t>& palette);

// The RGB image an indexed image stands for.
RgbImage Expand(const IndexedImage& image, const std::vector<uint32_t>& palette);

}  // namespace skingen
