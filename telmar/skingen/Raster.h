// RGB rasters handed between the painters, the quantizer and the writers.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SkinLayout.h"

namespace skingen {

// 0xRRGGBB per pixel, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

    uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    void Set(int x, int y, uint32_t rgb) { pixels[std::size_t(y) * width + x] = rgb; }
};

constexpr uint32_t Rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// Copies src's rectangle to (x, y) of dst.
void CopyRect(const RgbImage& src, const skin::Rect& from, RgbImage& dst, int x, int y);

// An owned cairo image surface of the given size with its context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Context() const { return cr_; }
    cairo_surface_t* Surface() const { return surface_; }
    // Opaque pixels of the surface (alpha is dropped).
    RgbImage ToImage() const;
    // Paints an image onto the surface at (x, y), scaled by an integer factor.
    void Blit(const RgbImage& image, int x, int y, int scale = 1);

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace skingen
