#include "Theme.h"

#include <cmath>
#include <cstring>
#include <string>

namespace skingen {

void SetVerticalGradient(cairo_t* cr, double y0, double y1, const Color& top, const Color& bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    EllipticRoundedRect(cr, x, y, w, h, r, r);
}

void EllipticRoundedRect(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
    cairo_new_sub_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + w - rx, y + ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, -M_PI / 2, 0);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, x + w - rx, y + h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, M_PI / 2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, x + rx, y + h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI / 2, M_PI);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, x + rx, y + ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI, 3 * M_PI / 2);
    cairo_restore(cr);
    cairo_close_path(cr);
}

namespace {

double SpacedWidth(cairo_t* cr, const char* text, double letterSpacing) {
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    const size_t n = std::strlen(text);
    return ext.x_advance + (n > 1 ? letterSpacing * double(n - 1) : 0.0);
}

void ShowSpaced(cairo_t* cr, const char* text, double x, double y, double letterSpacing) {
    if (letterSpacing == 0.0) {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, text);
        return;
    }
    char one[2] = {0, 0};
    for (const char* p = text; *p; ++p) {
        one[0] = *p;
        cairo_text_extents_t ext;
        cairo_text_extents(cr, one, &ext);
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, one);
        x += ext.x_advance + letterSpacing;
    }
}

}  // namespace

void DrawText(cairo_t* cr, const char* text, double x, double y, double size, bool bold, Align align,
              double letterSpacing) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    const double w = SpacedWidth(cr, text, letterSpacing);
    if (align == Align::Center) x -= w / 2;
    if (align == Align::Right) x -= w;
    ShowSpaced(cr, text, x, y, letterSpacing);
}

void DrawEngraved(cairo_t* cr, const char* text, double x, double y, double size, Align align,
                  double letterSpacing) {
    SetColor(cr, theme::kEngravingShadow, 0.9);
    DrawText(cr, text, x, y - 1, size, true, align, letterSpacing);
    SetColor(cr, theme::kEngraving);
    DrawText(cr, text, x, y, size, true, align, letterSpacing);
}

}  // namespace skingen
