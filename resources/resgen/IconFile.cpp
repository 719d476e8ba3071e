#include "IconFile.h"

#include <cstdio>

namespace resgen {
namespace {

constexpr uint16_t kTypeIcon = 1;
constexpr uint16_t kTypeCursor = 2;
constexpr uint32_t kDirectorySize = 6;
constexpr uint32_t kEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8 & 0xFF);
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t MaskStride(int size) { return ((uint32_t(size) + 31) / 32) * 4; }

uint32_t ImageBytes(const ArgbImage& image) {
    const uint32_t n = uint32_t(image.size);
    return kInfoHeaderSize + n * n * 4 + MaskStride(image.size) * n;
}

// BITMAPINFOHEADER of twice the height, BGRA rows bottom-up, then the AND mask
// (1 where the pixel is fully transparent) for systems that ignore alpha.
void PutImage(std::vector<unsigned char>& out, const ArgbImage& image) {
    const int n = image.size;
    Put32(out, kInfoHeaderSize);
    Put32(out, uint32_t(n));
    Put32(out, uint32_t(2 * n));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, uint32_t(n * n * 4) + MaskStride(n) * uint32_t(n));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const uint32_t p = image.pixels[size_t(y) * n + x];
            out.push_back(p & 0xFF);
            out.push_back(p >> 8 & 0xFF);
            out.push_back(p >> 16 & 0xFF);
            out.push_back(p >> 24 & 0xFF);
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<unsigned char> row(MaskStride(n), 0);
        for (int x = 0; x < n; ++x) {
            if ((image.pixels[size_t(y) * n + x] >> 24) == 0) row[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<unsigned char> Encode(const std::vector<ArgbImage>& images, uint16_t type, Hotspot hotspot) {
    std::vector<unsigned char> out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, uint16_t(images.size()));
    uint32_t offset = kDirectorySize + kEntrySize * uint32_t(images.size());
    for (const ArgbImage& image : images) {
        out.push_back(uint8_t(image.size == 256 ? 0 : image.size));
        out.push_back(uint8_t(image.size == 256 ? 0 : image.size));
        out.push_back(0);  // no colour table
        out.push_back(0);
        // Icons: planes and bit count; cursors: the hot spot.
        Put16(out, type == kTypeCursor ? uint32_t(hotspot.x) : 1);
        Put16(out, type == kTypeCursor ? uint32_t(hotspot.y) : 32);
        Put32(out, ImageBytes(image));
        Put32(out, offset);
        offset += ImageBytes(image);
    }
    for (const ArgbImage& image : images) PutImage(out, image);
    return out;
}

}  // namespace

std::vector<unsigned char> EncodeIcon(const std::vector<ArgbImage>& images) {
    return Encode(images, kTypeIcon, {});
}

std::vector<unsigned char> EncodeCursor(const ArgbImage& image, Hotspot hotspot) {
    return Encode({image}, kTypeCursor, hotspot);
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace resgen
