#include "BmpWriter.h"

#include <cstdio>

namespace skingen {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kColorTableSize = kPaletteSize * 4;

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8 & 0xFF);
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<unsigned char> EncodeBmp8(const IndexedImage& image, const std::vector<uint32_t>& palette) {
    const uint32_t stride = (uint32_t(image.width) + 3) & ~3u;
    const uint32_t bitsOffset = kFileHeaderSize + kInfoHeaderSize + kColorTableSize;
    const uint32_t bitsSize = stride * uint32_t(image.height);
    std::vector<unsigned char> out;
    out.reserve(bitsOffset + bitsSize);

    out.push_back('B');
    out.push_back('M');
    Put32(out, bitsOffset + bitsSize);
    Put32(out, 0);
    Put32(out, bitsOffset);

    Put32(out, kInfoHeaderSize);
    Put32(out, uint32_t(image.width));
    Put32(out, uint32_t(image.height));  // positive: rows bottom-up
    Put16(out, 1);                       // planes
    Put16(out, 8);                       // bits per pixel
    Put32(out, 0);                       // BI_RGB
    Put32(out, bitsSize);
    Put32(out, 2835);                    // 72 dpi
    Put32(out, 2835);
    Put32(out, kPaletteSize);            // colours used
    Put32(out, 0);                       // all important

    for (int i = 0; i < kPaletteSize; ++i) {
        const uint32_t c = i < int(palette.size()) ? palette[i] : 0;
        out.push_back(c & 0xFF);        // blue
        out.push_back(c >> 8 & 0xFF);   // green
        out.push_back(c >> 16 & 0xFF);  // red
        out.push_back(0);
    }

    for (int y = image.height - 1; y >= 0; --y) {
        const unsigned char* row = image.indices.data() + size_t(y) * image.width;
        out.insert(out.end(), row, row + image.width);
        out.insert(out.end(), stride - uint32_t(image.width), 0);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace skingen
