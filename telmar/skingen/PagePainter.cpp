#include "PagePainter.h"

#include <cmath>

#include "Theme.h"

namespace skingen {
namespace {

constexpr Color kPageFace = FromRgb(240, 240, 240);  // the dialog face under Wine and Windows
constexpr Color kTileTop = FromRgb(252, 252, 253);
constexpr Color kTileBottom = FromRgb(222, 225, 230);
constexpr Color kTileBorder = FromRgb(164, 170, 179);
constexpr Color kLabel = FromRgb(28, 32, 38);
constexpr Color kDisabledLabel = FromRgb(160, 163, 168);
constexpr Color kAccent = FromRgb(0, 150, 165);

// Icons keep their shapes when disabled and lose their colour.
struct IconStyle {
    bool enabled;
    Color Tint(const Color& c) const {
        if (enabled) return c;
        const double grey = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
        const double light = 0.55 + grey * 0.3;
        return {light, light, light};
    }
};

void Fill(cairo_t* cr, const IconStyle& s, const Color& c) {
    SetColor(cr, s.Tint(c));
    cairo_fill_preserve(cr);
}

void Outline(cairo_t* cr, const IconStyle& s, const Color& c, double width = 1.0) {
    cairo_set_line_width(cr, width);
    SetColor(cr, s.Tint(c));
    cairo_stroke(cr);
}

void Disc(cairo_t* cr, const IconStyle& s, const Color& fill, const Color& rim) {
    cairo_arc(cr, 0, 0, 10, 0, 2 * M_PI);
    Fill(cr, s, fill);
    Outline(cr, s, rim);
}

void IconOpen(cairo_t* cr, const IconStyle& s) {
    cairo_move_to(cr, -11, -7);
    cairo_line_to(cr, -4, -7);
    cairo_line_to(cr, -2, -4.5);
    cairo_line_to(cr, 9, -4.5);
    cairo_line_to(cr, 9, 8);
    cairo_line_to(cr, -11, 8);
    cairo_close_path(cr);
    Fill(cr, s, FromRgb(214, 160, 48));
    Outline(cr, s, FromRgb(140, 96, 20));
    cairo_move_to(cr, -8, -1);
    cairo_line_to(cr, 12, -1);
    cairo_line_to(cr, 8, 8);
    cairo_line_to(cr, -11, 8);
    cairo_close_path(cr);
    Fill(cr, s, FromRgb(246, 200, 90));
    Outline(cr, s, FromRgb(140, 96, 20));
}

void IconSave(cairo_t* cr, const IconStyle& s) {
    RoundedRect(cr, -9.5, -9.5, 19, 19, 2);
    Fill(cr, s, FromRgb(52, 96, 170));
    Outline(cr, s, FromRgb(26, 52, 104));
    cairo_rectangle(cr, -5.5, -9.5, 11, 7);
    Fill(cr, s, FromRgb(226, 230, 236));
    Outline(cr, s, FromRgb(26, 52, 104));
    cairo_rectangle(cr, 1.5, -8, 2.5, 4);
    SetColor(cr, s.Tint(FromRgb(52, 96, 170)));
    cairo_fill(cr);
    cairo_rectangle(cr, -6.5, 1.5, 13, 8);
    Fill(cr, s, FromRgb(250, 250, 250));
    cairo_new_path(cr);
}

void IconAdd(cairo_t* cr, const IconStyle& s) {
    Disc(cr, s, FromRgb(56, 160, 72), FromRgb(28, 100, 40));
    cairo_new_path(cr);
    cairo_rectangle(cr, -6, -1.5, 12, 3);
    cairo_rectangle(cr, -1.5, -6, 3, 12);
    SetColor(cr, FromRgb(255, 255, 255));
    cairo_fill(cr);
}

void IconRemove(cairo_t* cr, const IconStyle& s) {
    Disc(cr, s, FromRgb(206, 62, 52), FromRgb(130, 30, 24));
    cairo_new_path(cr);
    cairo_rectangle(cr, -6, -1.5, 12, 3);
    SetColor(cr, FromRgb(255, 255, 255));
    cairo_fill(cr);
}

void IconInfo(cairo_t* cr, const IconStyle& s) {
    Disc(cr, s, FromRgb(40, 110, 190), FromRgb(20, 64, 120));
    cairo_new_path(cr);
    SetColor(cr, FromRgb(255, 255, 255));
    DrawText(cr, "i", 0, 6, 15, true, Align::Center);
}

void IconAudition(cairo_t* cr, const IconStyle& s) {
    // Headphones: a band and two ear cups.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, 0, 1, 8.5, M_PI, 2 * M_PI);
    Outline(cr, s, FromRgb(50, 54, 62), 2.4);
    RoundedRect(cr, -11, 0, 5.5, 9, 2);
    Fill(cr, s, kAccent);
    Outline(cr, s, FromRgb(0, 86, 96));
    RoundedRect(cr, 5.5, 0, 5.5, 9, 2);
    Fill(cr, s, kAccent);
    Outline(cr, s, FromRgb(0, 86, 96));
}

void IconClose(cairo_t* cr, const IconStyle& s) {
    Disc(cr, s, FromRgb(96, 102, 112), FromRgb(50, 54, 62));
    cairo_new_path(cr);
    cairo_set_line_width(cr, 2.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, -4.5, -4.5);
    cairo_line_to(cr, 4.5, 4.5);
    cairo_move_to(cr, 4.5, -4.5);
    cairo_line_to(cr, -4.5, 4.5);
    SetColor(cr, FromRgb(255, 255, 255));
    cairo_stroke(cr);
}

// A conversion: a small wave on the left, an arrow, and the target format.
void IconConvert(cairo_t* cr, const IconStyle& s, const char* target) {
    cairo_set_line_width(cr, 1.4);
    cairo_move_to(cr, -12, -3);
    for (int i = 0; i <= 12; ++i) {
        const double x = -12 + i;
        cairo_line_to(cr, x, -3 + 4.5 * std::sin(i * 0.9));
    }
    SetColor(cr, s.Tint(FromRgb(40, 110, 190)));
    cairo_stroke(cr);
    cairo_move_to(cr, 2, -8);
    cairo_line_to(cr, 12, -3);
    cairo_line_to(cr, 2, 2);
    cairo_close_path(cr);
    Fill(cr, s, FromRgb(56, 160, 72));
    Outline(cr, s, FromRgb(28, 100, 40));
    SetColor(cr, s.Tint(kAccent));
    DrawText(cr, target, 0, 10, 8, true, Align::Center);
}

void IconEncode(cairo_t* cr, const IconStyle& s) { IconConvert(cr, s, "MP3"); }
void IconDecode(cairo_t* cr, const IconStyle& s) { IconConvert(cr, s, "WAV"); }

void IconStop(cairo_t* cr, const IconStyle& s) {
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        cairo_line_to(cr, 10 * std::cos(a), 10 * std::sin(a));
    }
    cairo_close_path(cr);
    Fill(cr, s, FromRgb(206, 62, 52));
    Outline(cr, s, FromRgb(130, 30, 24));
    cairo_rectangle(cr, -4, -4, 8, 8);
    SetColor(cr, FromRgb(255, 255, 255));
    cairo_fill(cr);
}

using IconFn = void (*)(cairo_t*, const IconStyle&);

struct Tile {
    skin::PageButton button;
    const char* label;
    IconFn icon;
};

constexpr Tile kTiles[] = {
    {skin::kPageOpen, "Open", IconOpen},           {skin::kPageSave, "Save", IconSave},
    {skin::kPageAdd, "Add", IconAdd},              {skin::kPageRemove, "Remove", IconRemove},
    {skin::kPageMoreInfo, "More Info", IconInfo},  {skin::kPageAudition, "Audition", IconAudition},
    {skin::kPageClose, "Close", IconClose},        {skin::kPageStartEncode, "Encode", IconEncode},
    {skin::kPageStop, "Stop", IconStop},           {skin::kPageStartDecode, "Decode", IconDecode},
};

void DrawTile(cairo_t* cr, const Tile& tile, int y, bool enabled) {
    const double x = skin::kPageButtonX[tile.button];
    const double w = skin::kPageButtonWidth, h = skin::kPageButtonHeight;
    RoundedRect(cr, x + 2.5, y + 2.5, w - 5, h - 5, 4);
    if (enabled) {
        SetVerticalGradient(cr, y + 2, y + h - 2, kTileTop, kTileBottom);
    } else {
        SetColor(cr, FromRgb(236, 237, 239));
    }
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, enabled ? kTileBorder : FromRgb(200, 203, 208));
    cairo_stroke(cr);

    const IconStyle style{enabled};
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + 18);
    tile.icon(cr, style);
    cairo_restore(cr);

    SetColor(cr, enabled ? kLabel : kDisabledLabel);
    DrawText(cr, tile.label, x + w / 2, y + 42, 9, false, Align::Center);
}

}  // namespace

RgbImage PaintPageButtons() {
    Canvas canvas(skin::kPageWidth, skin::kPageHeight);
    cairo_t* cr = canvas.Context();
    SetColor(cr, kPageFace);
    cairo_paint(cr);
    for (const Tile& tile : kTiles) {
        DrawTile(cr, tile, skin::kPageNormalY, true);
        DrawTile(cr, tile, skin::kPageDisabledY, false);
    }
    return canvas.ToImage();
}

}  // namespace skingen
