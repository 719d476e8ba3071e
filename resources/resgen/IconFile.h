// .ico and .cur files made of 32-bit images with alpha and a matching AND mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// Straight (not premultiplied) 0xAARRGGBB pixels, rows top to bottom.
struct ArgbImage {
    int size = 0;  // square
    std::vector<uint32_t> pixels;
};

struct Hotspot {
    int x = 0, y = 0;
};

// An icon file with one entry per image (for example 32 x 32 and 16 x 16).
std::vector<unsigned char> EncodeIcon(const std::vector<ArgbImage>& images);

// A cursor file with one image and its hot spot.
std::vector<unsigned char> EncodeCursor(const ArgbImage& image, Hotspot hotspot);

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace resgen
