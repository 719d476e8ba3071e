#include "FacePainter.h"

#include <cmath>

#include "LcdGlyphs.h"
#include "Theme.h"

namespace skingen {
namespace {

using skin::Rect;

// The LCD: a dark bezel around flat glass that holds every glyph place.
constexpr Rect kLcdBezel = {19, 26, 301, 123};
constexpr Rect kLcdGlass = {24, 31, 296, 118};

// The tray the three transport keys sit in.
constexpr Rect kTransportTray = {88, 160, 233, 207};

void PaintBody(cairo_t* cr, bool withEject) {
    const double w = skin::kWindowWidth - 1, h = skin::kWindowHeight - 1;
    const double rx = skin::kCornerEllipseWidth / 2.0, ry = skin::kCornerEllipseHeight / 2.0;
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);

    EllipticRoundedRect(cr, 0, 0, w, h, rx, ry);
    SetVerticalGradient(cr, 0, h, theme::kBodyTop, theme::kBodyBottom);
    cairo_fill(cr);

    // Bevel: light along the top edge, dark along the bottom.
    cairo_set_line_width(cr, 1.0);
    EllipticRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, rx - 0.5, ry - 0.5);
    SetVerticalGradient(cr, 0, h, FromRgb(140, 147, 158), FromRgb(14, 15, 18));
    cairo_stroke(cr);
    EllipticRoundedRect(cr, 1.5, 1.5, w - 3, h - 3, rx - 1.5, ry - 1.5);
    SetVerticalGradient(cr, 0, h, FromRgb(92, 98, 108), FromRgb(40, 42, 48));
    cairo_stroke(cr);

    // Brand along the top, with fine grooves either side.
    DrawEngraved(cr, "ORVANTA", 160, 18, 9, Align::Center, 2.2);
    for (int i = 0; i < 3; ++i) {
        const double y = 11.5 + 3 * i;
        SetColor(cr, theme::kEngravingShadow, 0.7);
        cairo_move_to(cr, 40, y);
        cairo_line_to(cr, 112, y);
        cairo_move_to(cr, 208, y);
        cairo_line_to(cr, 280, y);
        cairo_stroke(cr);
        SetColor(cr, FromRgb(110, 116, 126), 0.5);
        cairo_move_to(cr, 40, y + 1);
        cairo_line_to(cr, 112, y + 1);
        cairo_move_to(cr, 208, y + 1);
        cairo_line_to(cr, 280, y + 1);
        cairo_stroke(cr);
    }

    // Speaker grille between the two button clusters, below the transport.
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 22; ++col) {
            const double x = 101.5 + col * 5.5 + (row % 2) * 2.75;
            const double y = 214.5 + row * 5;
            if (x > 222) continue;
            cairo_arc(cr, x, y, 1.25, 0, 2 * M_PI);
            SetColor(cr, theme::kRecess);
            cairo_fill(cr);
            cairo_arc(cr, x + 0.3, y + 0.6, 0.7, 0, M_PI);
            SetColor(cr, FromRgb(96, 102, 112), 0.6);
            cairo_fill(cr);
        }
    }

    if (!withEject) {
        DrawEngraved(cr, "MP3", 298.5, 214, 7, Align::Center);
    }
}

void PaintLcd(cairo_t* cr) {
    RoundedRect(cr, kLcdBezel.left, kLcdBezel.top, kLcdBezel.Width(), kLcdBezel.Height(), 8);
    SetColor(cr, theme::kLcdBezel);
    cairo_fill(cr);
    // A lip of light below the bezel, as if the glass sat in a recess.
    cairo_set_line_width(cr, 1.0);
    RoundedRect(cr, kLcdBezel.left - 0.5, kLcdBezel.top - 0.5, kLcdBezel.Width() + 1, kLcdBezel.Height() + 1, 8.5);
    SetVerticalGradient(cr, kLcdBezel.top, kLcdBezel.bottom, FromRgb(24, 25, 30), FromRgb(120, 127, 138));
    cairo_stroke(cr);

    RoundedRect(cr, kLcdGlass.left, kLcdGlass.top, kLcdGlass.Width(), kLcdGlass.Height(), 4);
    SetColor(cr, theme::kLcdGround);
    cairo_fill(cr);
    // Inner shadow only along the glass rim, clear of every glyph place.
    RoundedRect(cr, kLcdGlass.left + 0.5, kLcdGlass.top + 0.5, kLcdGlass.Width() - 1, kLcdGlass.Height() - 1, 3.5);
    SetColor(cr, FromRgb(4, 12, 15));
    cairo_stroke(cr);
}

void PaintTransportTray(cairo_t* cr) {
    const Rect& t = kTransportTray;
    RoundedRect(cr, t.left, t.top, t.Width(), t.Height(), 8);
    SetColor(cr, FromRgb(22, 23, 28));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    RoundedRect(cr, t.left - 0.5, t.top - 0.5, t.Width() + 1, t.Height() + 1, 8.5);
    SetVerticalGradient(cr, t.top, t.bottom, FromRgb(26, 27, 32), FromRgb(112, 118, 128));
    cairo_stroke(cr);
}

void PaintStripLabels(cairo_t* cr) {
    DrawEngraved(cr, "PLAYLIST", 80, 139, 7, Align::Right, 0.6);
    DrawEngraved(cr, "MODE", 150, 139, 7, Align::Right, 0.6);
    DrawEngraved(cr, "PLAYER", 210, 139, 7, Align::Right, 0.6);
}

struct CapColors {
    Color top, bottom, symbol;
};

CapColors CapFor(Look look) {
    switch (look) {
        case Look::Pressed: return {theme::kCapDownTop, theme::kCapDownBottom, theme::kSymbolPressed};
        case Look::Highlighted: return {theme::kCapHotTop, theme::kCapHotBottom, theme::kLcdText};
        case Look::Normal: break;
    }
    return {theme::kCapTop, theme::kCapBottom, theme::kSymbol};
}

// Symbols are drawn around (0, 0) in a unit of pixels.
using SymbolFn = void (*)(cairo_t*);

void SymbolExit(cairo_t* cr) {
    cairo_set_line_width(cr, 1.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, -3.3, -3.3);
    cairo_line_to(cr, 3.3, 3.3);
    cairo_move_to(cr, 3.3, -3.3);
    cairo_line_to(cr, -3.3, 3.3);
    cairo_stroke(cr);
}

void SymbolMinimize(cairo_t* cr) { cairo_rectangle(cr, -4, 2, 8, 2); cairo_fill(cr); }

void SymbolHelp(cairo_t* cr) { DrawText(cr, "?", 0, 4.4, 12, true, Align::Center); }

void SymbolAbout(cairo_t* cr) { DrawText(cr, "i", 0, 4.4, 12, true, Align::Center); }

void SymbolPlus(cairo_t* cr) {
    cairo_rectangle(cr, -4, -1, 8, 2);
    cairo_rectangle(cr, -1, -4, 2, 8);
    cairo_fill(cr);
}

void SymbolMinus(cairo_t* cr) { cairo_rectangle(cr, -4, -1, 8, 2); cairo_fill(cr); }

void SymbolPause(cairo_t* cr) {
    cairo_rectangle(cr, -3.5, -4, 2.5, 8);
    cairo_rectangle(cr, 1, -4, 2.5, 8);
    cairo_fill(cr);
}

void SymbolStop(cairo_t* cr) { cairo_rectangle(cr, -3.5, -3.5, 7, 7); cairo_fill(cr); }

void SymbolEject(cairo_t* cr) {
    cairo_move_to(cr, -4.5, 0.8);
    cairo_line_to(cr, 4.5, 0.8);
    cairo_line_to(cr, 0, -4.2);
    cairo_close_path(cr);
    cairo_rectangle(cr, -4.5, 2.3, 9, 1.8);
    cairo_fill(cr);
}

void Triangle(cairo_t* cr, double x, double halfHeight, double width) {
    cairo_move_to(cr, x, -halfHeight);
    cairo_line_to(cr, x + width, 0);
    cairo_line_to(cr, x, halfHeight);
    cairo_close_path(cr);
}

void SymbolPlay(cairo_t* cr) { Triangle(cr, -5, 7, 12); cairo_fill(cr); }

void SymbolNext(cairo_t* cr) {
    Triangle(cr, -8, 5.5, 7.5);
    Triangle(cr, -1, 5.5, 7.5);
    cairo_rectangle(cr, 6.5, -5.5, 2, 11);
    cairo_fill(cr);
}

void SymbolPrevious(cairo_t* cr) {
    cairo_save(cr);
    cairo_scale(cr, -1, 1);
    SymbolNext(cr);
    cairo_restore(cr);
}

void SymbolList(cairo_t* cr) {
    for (int i = -1; i <= 1; ++i) cairo_rectangle(cr, -3, i * 2.5 - 0.6, 6, 1.3);
    cairo_fill(cr);
}

void SymbolMode(cairo_t* cr) {
    cairo_set_line_width(cr, 1.3);
    cairo_arc(cr, 0, 0, 2.9, 0.35, 2 * M_PI - 0.9);
    cairo_stroke(cr);
    cairo_move_to(cr, 1.2, -3.9);
    cairo_line_to(cr, 3.9, -2.6);
    cairo_line_to(cr, 1.6, -0.6);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void SymbolSwitch(cairo_t* cr) {
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, -3.5, -1.5);
    cairo_line_to(cr, 2.0, -1.5);
    cairo_move_to(cr, 3.5, 1.7);
    cairo_line_to(cr, -2.0, 1.7);
    cairo_stroke(cr);
    cairo_move_to(cr, 1.5, -3.5);
    cairo_line_to(cr, 4.2, -1.5);
    cairo_line_to(cr, 1.5, 0.5);
    cairo_close_path(cr);
    cairo_move_to(cr, -1.5, -0.3);
    cairo_line_to(cr, -4.2, 1.7);
    cairo_line_to(cr, -1.5, 3.7);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A round button filling the bounding box of its hit region.
void DrawRoundButton(cairo_t* cr, const Rect& box, Look look, SymbolFn symbol, double symbolScale) {
    const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    const double r = box.Width() / 2.0;
    const CapColors cap = CapFor(look);

    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    SetColor(cr, theme::kRecess);
    cairo_fill(cr);

    const double capR = r - (r > 9 ? 1.6 : 1.2);
    cairo_arc(cr, cx, cy, capR, 0, 2 * M_PI);
    SetVerticalGradient(cr, cy - capR, cy + capR, cap.top, cap.bottom);
    cairo_fill(cr);
    if (look != Look::Pressed) {
        // Gloss on the upper half of the cap.
        cairo_save(cr);
        cairo_translate(cr, cx, cy - capR * 0.42);
        cairo_scale(cr, capR * 0.72, capR * 0.42);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        SetColor(cr, FromRgb(255, 255, 255), 0.10);
        cairo_fill(cr);
    }
    if (look == Look::Highlighted) {
        cairo_set_line_width(cr, 1.0);
        cairo_arc(cr, cx, cy, capR + 0.2, 0, 2 * M_PI);
        SetColor(cr, theme::kLcdText, 0.75);
        cairo_stroke(cr);
    }

    const double shift = look == Look::Pressed ? 0.8 : 0.0;
    cairo_save(cr);
    cairo_translate(cr, cx + shift, cy + shift);
    cairo_scale(cr, symbolScale, symbolScale);
    SetColor(cr, cap.symbol);
    symbol(cr);
    cairo_restore(cr);
}

void DrawTransportKey(cairo_t* cr, const Rect& box, Look look, SymbolFn symbol) {
    const CapColors cap = CapFor(look);
    RoundedRect(cr, box.left, box.top, box.Width(), box.Height(), 6);
    SetColor(cr, theme::kRecess);
    cairo_fill(cr);

    const double inset = 2;
    const double x = box.left + inset, y = box.top + inset;
    const double w = box.Width() - 2 * inset, h = box.Height() - 2 * inset;
    RoundedRect(cr, x, y, w, h, 4.5);
    SetVerticalGradient(cr, y, y + h, cap.top, cap.bottom);
    cairo_fill(cr);
    if (look != Look::Pressed) {
        RoundedRect(cr, x + 2, y + 1, w - 4, h * 0.45, 3.5);
        SetColor(cr, FromRgb(255, 255, 255), 0.08);
        cairo_fill(cr);
    }
    if (look == Look::Highlighted) {
        cairo_set_line_width(cr, 1.0);
        RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 4);
        SetColor(cr, theme::kLcdText, 0.75);
        cairo_stroke(cr);
    }

    const double shift = look == Look::Pressed ? 1.0 : 0.0;
    cairo_save(cr);
    cairo_translate(cr, (box.left + box.right) / 2.0 + shift, (box.top + box.bottom) / 2.0 + shift);
    SetColor(cr, cap.symbol);
    symbol(cr);
    cairo_restore(cr);
}

struct ButtonArt {
    unsigned id;
    SymbolFn symbol;
    double scale;
};

constexpr ButtonArt kArt[] = {
    {skin::kHotExit, SymbolExit, 1.0},       {skin::kHotMinimize, SymbolMinimize, 1.0},
    {skin::kHotHelp, SymbolHelp, 1.0},       {skin::kHotAbout, SymbolAbout, 1.0},
    {skin::kHotVolumeUp, SymbolPlus, 1.0},   {skin::kHotVolumeDown, SymbolMinus, 1.0},
    {skin::kHotPause, SymbolPause, 1.0},     {skin::kHotStop, SymbolStop, 1.0},
    {skin::kHotEject, SymbolEject, 1.0},     {skin::kHotSheet, SymbolList, 1.0},
    {skin::kHotMode, SymbolMode, 1.0},       {skin::kHotPlayerMenu, SymbolSwitch, 1.0},
    {skin::kHotPlay, SymbolPlay, 1.0},       {skin::kHotPrevious, SymbolPrevious, 1.0},
    {skin::kHotNext, SymbolNext, 1.0},
};

const ButtonArt* ArtFor(unsigned id) {
    for (const ButtonArt& art : kArt) {
        if (art.id == id) return &art;
    }
    return nullptr;
}

void PaintHotspot(cairo_t* cr, const skin::Hotspot& hot, Look look) {
    const ButtonArt* art = ArtFor(hot.id);
    if (!art) return;
    if (hot.shape == skin::Shape::Rectangle) {
        DrawTransportKey(cr, hot.region, look, art->symbol);
    } else {
        DrawRoundButton(cr, hot.region, look, art->symbol, art->scale);
    }
}

void CopyTile(const RgbImage& window, const Rect& place, RgbImage& faces, const Rect& source) {
    CopyRect(window, place, faces, source.left, source.top);
}

}  // namespace

RgbImage PaintWindow(unsigned hotId, Look look, bool withEject) {
    Canvas canvas(skin::kWindowWidth, skin::kWindowHeight);
    cairo_t* cr = canvas.Context();
    PaintBody(cr, withEject);
    PaintLcd(cr);
    PaintTransportTray(cr);
    PaintStripLabels(cr);
    for (const skin::Hotspot& hot : skin::kHotspots) {
        if (hot.id == skin::kHotEject && !withEject) continue;
        PaintHotspot(cr, hot, hot.id == hotId ? look : Look::Normal);
    }
    return canvas.ToImage();
}

RgbImage PaintFaces() {
    RgbImage faces(skin::kFacesWidth, skin::kFacesHeight, ToRgb(theme::kBodyBottom));
    for (const skin::Hotspot& hot : skin::kHotspots) {
        CopyTile(PaintWindow(hot.id, Look::Pressed), hot.place, faces, hot.pressed);
        CopyTile(PaintWindow(hot.id, Look::Highlighted), hot.place, faces, hot.highlighted);
    }
    const skin::Rect coverPlace = {skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y,
                                   skin::kEjectCoverPlace.x + skin::kEjectCoverSource.Width(),
                                   skin::kEjectCoverPlace.y + skin::kEjectCoverSource.Height()};
    CopyTile(PaintWindow(0, Look::Normal, false), coverPlace, faces, skin::kEjectCoverSource);
    PaintLcdGlyphs(faces);
    return faces;
}

}  // namespace skingen
