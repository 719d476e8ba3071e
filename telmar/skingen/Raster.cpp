#include "Raster.h"

namespace skingen {

void CopyRect(const RgbImage& src, const skin::Rect& from, RgbImage& dst, int x, int y) {
    for (int row = 0; row < from.Height(); ++row) {
        for (int col = 0; col < from.Width(); ++col) {
            dst.Set(x + col, y + row, src.At(from.left + col, from.top + row));
        }
    }
}

Canvas::Canvas(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

RgbImage Canvas::ToImage() const {
    cairo_surface_flush(surface_);
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    RgbImage image(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < w; ++x) {
            image.Set(x, y, row[x] & 0xFFFFFFu);
        }
    }
    return image;
}

void Canvas::Blit(const RgbImage& image, int x, int y, int scale) {
    cairo_surface_flush(surface_);
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    for (int sy = 0; sy < image.height; ++sy) {
        for (int sx = 0; sx < image.width; ++sx) {
            for (int dy = 0; dy < scale; ++dy) {
                const int ty = y + sy * scale + dy;
                if (ty < 0 || ty >= h) continue;
                auto* row = reinterpret_cast<uint32_t*>(data + std::size_t(ty) * stride);
                for (int dx = 0; dx < scale; ++dx) {
                    const int tx = x + sx * scale + dx;
                    if (tx >= 0 && tx < w) row[tx] = image.At(sx, sy);
                }
            }
        }
    }
    cairo_surface_mark_dirty(surface_);
}

}  // namespace skingen
