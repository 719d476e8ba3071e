// Writes 8-bit palettized BMP files in the layout windres stores as bitmap
// resources: BITMAPINFOHEADER, a full 256-entry colour table, bottom-up rows.
#pragma once

#include <string>
#include <vector>

#include "Quantize.h"

namespace skingen {

// The file's bytes; the palette is padded with black to 256 entries.
std::vector<unsigned char> EncodeBmp8(const IndexedImage& image, const std::vector<uint32_t>& palette);

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace skingen
