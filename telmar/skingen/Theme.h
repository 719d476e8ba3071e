// Colours and drawing helpers of the "graphite and cyan" skin.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "Raster.h"

namespace skingen {

struct Color {
    double r, g, b;
};

constexpr Color FromRgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }
constexpr uint32_t ToRgb(const Color& c) {
    return Rgb(int(c.r * 255 + 0.5), int(c.g * 255 + 0.5), int(c.b * 255 + 0.5));
}

namespace theme {
constexpr Color kLcdText = FromRgb(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);
constexpr Color kLcdGround = FromRgb(10, 28, 34);
constexpr Color kLcdGhost = FromRgb(11, 42, 49);     // unlit segments
constexpr Color kLcdBezel = FromRgb(13, 14, 17);
constexpr Color kBodyTop = FromRgb(70, 75, 84);
constexpr Color kBodyBottom = FromRgb(33, 35, 41);
constexpr Color kEngraving = FromRgb(150, 157, 168);
constexpr Color kEngravingShadow = FromRgb(18, 19, 23);
constexpr Color kRecess = FromRgb(16, 17, 21);
constexpr Color kSymbol = FromRgb(218, 222, 228);
constexpr Color kSymbolPressed = FromRgb(0, 150, 162);
constexpr Color kCapTop = FromRgb(104, 110, 121);
constexpr Color kCapBottom = FromRgb(46, 49, 56);
constexpr Color kCapHotTop = FromRgb(122, 130, 142);
constexpr Color kCapHotBottom = FromRgb(54, 58, 66);
constexpr Color kCapDownTop = FromRgb(36, 38, 44);
constexpr Color kCapDownBottom = FromRgb(74, 79, 88);
}  // namespace theme

inline void SetColor(cairo_t* cr, const Color& c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// A vertical two-stop gradient between y0 and y1, set as the source.
void SetVerticalGradient(cairo_t* cr, double y0, double y1, const Color& top, const Color& bottom);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void EllipticRoundedRect(cairo_t* cr, double x, double y, double w, double h, double rx, double ry);

enum class Align { Left, Center, Right };

// Text in DejaVu Sans at pixel size `size`, its baseline at y.
void DrawText(cairo_t* cr, const char* text, double x, double y, double size, bool bold, Align align,
              double letterSpacing = 0.0);

// Text cut into the metal: a dark line above a light face.
void DrawEngraved(cairo_t* cr, const char* text, double x, double y, double size, Align align,
                  double letterSpacing = 0.0);

}  // namespace skingen
