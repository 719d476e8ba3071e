#include "Preview.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "Theme.h"

namespace skingen {
namespace {

using skin::Rect;

constexpr int kScale = 2;
constexpr int kMargin = 16;
constexpr int kCaption = 22;
constexpr Color kPaper = FromRgb(246, 246, 244);
constexpr Color kInk = FromRgb(30, 30, 34);
constexpr Color kPlaceColor = FromRgb(40, 220, 90);
constexpr Color kRegionColor = FromRgb(255, 214, 0);
constexpr Color kGlyphColor = FromRgb(255, 60, 200);
constexpr Color kTextBoxColor = FromRgb(255, 140, 0);
constexpr Color kPressedColor = FromRgb(255, 70, 60);
constexpr Color kHighlightColor = FromRgb(255, 170, 40);

const skin::Hotspot* FindHotspot(unsigned id) {
    for (const skin::Hotspot& h : skin::kHotspots) {
        if (h.id == id) return &h;
    }
    return nullptr;
}

void Put(const RgbImage& faces, const Rect& from, RgbImage& window, int x, int y) {
    CopyRect(faces, from, window, x, y);
}

void PutDigit(const SkinImages& s, RgbImage& w, int d, int x, int y) {
    const int sx = d < 0 ? skin::kDigitBlankX : skin::DigitX(d);
    Put(s.faces, {sx, skin::kGlyphRowY, sx + skin::kDigitWidth, skin::kGlyphRowY + skin::kDigitHeight}, w, x, y);
}

void PutColon(const SkinImages& s, RgbImage& w, int x, int y) {
    Put(s.faces, {skin::kColonX, skin::kGlyphRowY, skin::kColonX + skin::kColonWidth, skin::kGlyphRowY + skin::kColonHeight},
        w, x, y);
}

void PutTime(const SkinImages& s, RgbImage& w, int seconds, const int (&xs)[4], int colonX) {
    const int m = seconds / 60, sec = seconds % 60;
    const int digits[4] = {m / 10, m % 10, sec / 10, sec % 10};
    for (int i = 0; i < 4; ++i) PutDigit(s, w, digits[i], xs[i], 94);
    PutColon(s, w, colonX, 99);
}

void PutIndicator(const SkinImages& s, RgbImage& w, int kind, bool lit, int x, int width) {
    const skin::Indicator& ind = skin::kIndicators[kind];
    const int sx = lit ? ind.litX : ind.darkX;
    Put(s.faces, {sx, skin::kIndicatorY, sx + width, skin::kIndicatorY + skin::kIndicatorHeight}, w, x, 105);
}

void PutHotspot(const SkinImages& s, RgbImage& w, unsigned id, bool pressed) {
    const skin::Hotspot* h = FindHotspot(id);
    if (!h) return;
    const Rect& src = pressed ? h->pressed : h->highlighted;
    Put(s.faces, src, w, h->place.left, h->place.top);
}

// Texts the programs draw with the LCD font; DejaVu stands in for it here.
void LcdText(cairo_t* cr, const char* text, double x, double top, double size, bool bold) {
    SetColor(cr, theme::kLcdText);
    DrawText(cr, text, x, top + size * 0.85, size, bold, Align::Left);
}

void ModeBox(cairo_t* cr, const char* text, double x, double top) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 9);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    cairo_rectangle(cr, x, top + 1, ext.x_advance, 10);
    SetColor(cr, theme::kLcdText);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    DrawText(cr, text, x, top + 9, 9, false, Align::Left);
}

// Paints what lies outside the window region in the paper colour.
void MaskRegion(cairo_t* cr) {
    const double w = skin::kWindowWidth - 1, h = skin::kWindowHeight - 1;
    cairo_rectangle(cr, 0, 0, skin::kWindowWidth, skin::kWindowHeight);
    EllipticRoundedRect(cr, 0, 0, w, h, skin::kCornerEllipseWidth / 2.0, skin::kCornerEllipseHeight / 2.0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetColor(cr, kPaper);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

RgbImage ComposeCddeck(const SkinImages& s) {
    RgbImage w = s.window;
    PutHotspot(s, w, skin::kHotPause, true);
    PutDigit(s, w, 0, 36, 94);
    PutDigit(s, w, 3, 48, 94);
    PutTime(s, w, 137, {82, 94, 108, 120}, 105);
    PutTime(s, w, 225, {152, 164, 178, 191}, 175);
    PutIndicator(s, w, 0, true, 221, 6);
    PutIndicator(s, w, 1, false, 230, 6);
    PutIndicator(s, w, 3, false, 239, 11);
    PutIndicator(s, w, 2, false, 253, 11);
    // Volume level 9 over the mode field.
    const int level = 9;
    const int litColumns = 3 * level - 1;
    Put(s.faces, {skin::kVolumeLit.x, skin::kVolumeLit.y, skin::kVolumeLit.x + litColumns,
                  skin::kVolumeLit.y + skin::kVolumeBarHeight}, w, 221, 94);
    Put(s.faces, {skin::kVolumeUnlit.x + 3 * level, skin::kVolumeUnlit.y, 179,
                  skin::kVolumeUnlit.y + skin::kVolumeBarHeight}, w, 221 + 3 * level, 94);
    Put(s.faces, skin::kStripLeftArrow, w, 28, 35);
    Put(s.faces, skin::kStripRightArrow, w, 280, 35);

    Canvas canvas(w.width, w.height);
    canvas.Blit(w, 0, 0);
    cairo_t* cr = canvas.Context();
    const Color grey = FromRgb(65, 65, 65);
    for (int k = 0; k < 16; ++k) {
        const int track = k + 1;
        const bool selected = track == 1 || track == 3 || track == 5 || track == 8 || track == 12;
        const bool blinking = track == 3;
        cairo_rectangle(cr, 40 + 15 * k, 35, 14, 11);
        SetColor(cr, (selected != blinking) ? theme::kLcdText : grey);
        cairo_fill(cr);
        SetColor(cr, (selected != blinking) ? grey : theme::kLcdText);
        char number[4];
        std::snprintf(number, sizeof number, "%d", track);
        DrawText(cr, number, 47 + 15 * k, 44, 8, false, Align::Center);
    }
    LcdText(cr, "Track Three", 33, 47, 11, true);
    LcdText(cr, "The Orvanta Ensemble", 33, 61, 9, false);
    LcdText(cr, "TRACK", 33, 84, 8, false);
    LcdText(cr, "ELAPSED", 86, 84, 8, false);
    LcdText(cr, "LENGTH", 159, 84, 8, false);
    LcdText(cr, "VOL", 222, 85, 8, false);
    MaskRegion(cr);
    return canvas.ToImage();
}

void OutlineRect(cairo_t* cr, const Rect& r, const Color& c, int scale, int ox, int oy) {
    cairo_rectangle(cr, ox + r.left * scale + 0.5, oy + r.top * scale + 0.5, r.Width() * scale - 1, r.Height() * scale - 1);
    SetColor(cr, c, 0.95);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void OutlineEllipse(cairo_t* cr, const Rect& r, const Color& c, int scale, int ox, int oy) {
    cairo_save(cr);
    cairo_translate(cr, ox + (r.left + r.right) / 2.0 * scale, oy + (r.top + r.bottom) / 2.0 * scale);
    cairo_scale(cr, r.Width() * scale / 2.0, r.Height() * scale / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, c, 0.95);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void Label(cairo_t* cr, const std::string& text, double x, double y, const Color& c) {
    SetColor(cr, c);
    DrawText(cr, text.c_str(), x, y, 9, true, Align::Left);
}

void Caption(cairo_t* cr, const char* text, int x, int y) {
    SetColor(cr, kInk);
    DrawText(cr, text, x, y + 15, 13, true, Align::Left);
}

void OutlineWindow(cairo_t* cr, int ox, int oy) {
    for (const skin::Hotspot& h : skin::kHotspots) {
        OutlineRect(cr, h.place, kPlaceColor, kScale, ox, oy);
        if (h.shape == skin::Shape::Ellipse) {
            OutlineEllipse(cr, h.region, kRegionColor, kScale, ox, oy);
        }
        Label(cr, std::to_string(h.id), ox + h.place.left * kScale + 1, oy + h.place.top * kScale + 9, kPlaceColor);
    }
    for (const Rect& r : skin::kLcdGlyphPlaces) OutlineRect(cr, r, kGlyphColor, kScale, ox, oy);
    const Rect textBoxes[] = {
        {33, 35, 288, 49}, {33, 48, 213, 60}, {33, 60, 213, 72},  // mpdeck title, artist, format
        {33, 47, 283, 61},                                        // cddeck title
        {210, 91, 268, 103}, {221, 91, 286, 103},                 // mode fields
        {210, 80, 272, 116}, {221, 80, 319, 116},                 // volume repaint areas (clipped)
    };
    for (const Rect& r : textBoxes) OutlineRect(cr, r, kTextBoxColor, kScale, ox, oy);
    for (int k = 0; k < 16; ++k) OutlineRect(cr, {40 + 15 * k, 35, 55 + 15 * k, 47}, kTextBoxColor, kScale, ox, oy);
    OutlineRect(cr, {skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y, skin::kEjectCoverPlace.x + 23,
                     skin::kEjectCoverPlace.y + 23}, kRegionColor, kScale, ox, oy);
}

void OutlineFaces(cairo_t* cr, int ox, int oy) {
    for (const skin::Hotspot& h : skin::kHotspots) {
        OutlineRect(cr, h.pressed, kPressedColor, kScale, ox, oy);
        OutlineRect(cr, h.highlighted, kHighlightColor, kScale, ox, oy);
    }
    for (int d = 0; d <= 9; ++d) {
        OutlineRect(cr, {skin::DigitX(d), 128, skin::DigitX(d) + 12, 147}, kGlyphColor, kScale, ox, oy);
    }
    OutlineRect(cr, {150, 128, 162, 147}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, {165, 128, 169, 138}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, {170, 128, 174, 138}, kGlyphColor, kScale, ox, oy);
    for (const skin::Indicator& ind : skin::kIndicators) {
        OutlineRect(cr, {ind.litX, 149, ind.litX + ind.width, 158}, kGlyphColor, kScale, ox, oy);
        OutlineRect(cr, {ind.darkX, 149, ind.darkX + ind.width, 158}, kGlyphColor, kScale, ox, oy);
    }
    OutlineRect(cr, {165, 139, 172, 142}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, {165, 143, 172, 146}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, {135, 94, 179, 109}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, {135, 111, 179, 126}, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, skin::kStripLeftArrow, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, skin::kStripRightArrow, kGlyphColor, kScale, ox, oy);
    OutlineRect(cr, skin::kEjectCoverSource, kPlaceColor, kScale, ox, oy);
}

void OutlineButtons(cairo_t* cr, int ox, int oy) {
    for (int x : skin::kPageButtonX) {
        OutlineRect(cr, {x, skin::kPageNormalY, x + skin::kPageButtonWidth, skin::kPageNormalY + skin::kPageButtonHeight},
                    kPlaceColor, kScale, ox, oy);
        OutlineRect(cr, {x, skin::kPageDisabledY, x + skin::kPageButtonWidth,
                         skin::kPageDisabledY + skin::kPageButtonHeight}, kHighlightColor, kScale, ox, oy);
    }
}

}  // namespace

RgbImage ComposeMpdeck(const SkinImages& s, unsigned highlightedHotspot) {
    RgbImage w = s.window;
    Put(s.faces, skin::kEjectCoverSource, w, skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y);
    if (highlightedHotspot) PutHotspot(s, w, highlightedHotspot, false);
    PutDigit(s, w, -1, 33, 94);
    PutDigit(s, w, 1, 45, 94);
    PutDigit(s, w, 2, 57, 94);
    PutTime(s, w, 83, {82, 94, 108, 120}, 105);
    PutTime(s, w, 296, {144, 156, 170, 182}, 167);
    PutIndicator(s, w, 0, true, 210, 5);
    PutIndicator(s, w, 1, false, 219, 5);
    PutIndicator(s, w, 3, false, 228, 10);
    PutIndicator(s, w, 2, false, 242, 10);
    const int lit[2] = {9, 7};
    for (int channel = 0; channel < 2; ++channel) {
        for (int i = 0; i < 12; ++i) {
            const skin::Point src = i < 12 - lit[channel] ? skin::kMeterUnlit : skin::kMeterLit;
            Put(s.faces, {src.x, src.y, src.x + skin::kMeterSegmentWidth, src.y + skin::kMeterSegmentHeight}, w,
                channel ? skin::kMeterRightX : skin::kMeterLeftX, skin::kMeterTop + skin::kMeterStep * i);
        }
    }
    Canvas canvas(w.width, w.height);
    canvas.Blit(w, 0, 0);
    cairo_t* cr = canvas.Context();
    LcdText(cr, "Morning Light over the Harbour", 33, 35, 11, true);
    LcdText(cr, "The Orvanta Ensemble", 33, 48, 9, false);
    LcdText(cr, "<44100 Hz><128 kbps><Joint Stereo>", 33, 60, 9, false);
    LcdText(cr, "SONG", 37, 84, 8, false);
    LcdText(cr, "ELAPSED", 86, 84, 8, false);
    LcdText(cr, "LENGTH", 150, 84, 8, false);
    LcdText(cr, "MODE", 210, 80, 8, false);
    ModeBox(cr, "LOOP", 210, 91);
    MaskRegion(cr);
    return canvas.ToImage();
}

bool WritePreview(const SkinImages& s, const std::string& pngPath) {
    const int winW = skin::kWindowWidth * kScale, winH = skin::kWindowHeight * kScale;
    const int pageH = skin::kPageHeight * kScale;
    const int width = kMargin * 3 + 2 * winW;
    const int height = kMargin * 4 + 3 * kCaption + 2 * winH + pageH;

    Canvas canvas(width, height);
    cairo_t* cr = canvas.Context();
    SetColor(cr, kPaper);
    cairo_paint(cr);

    int y = kMargin;
    Caption(cr, "mpdeck as painted from the bitmaps (Play highlighted)", kMargin, y);
    Caption(cr, "cddeck as painted from the bitmaps (Pause pressed, volume shown)", kMargin * 2 + winW, y);
    y += kCaption;
    canvas.Blit(ComposeMpdeck(s, skin::kHotPlay), kMargin, y, kScale);
    canvas.Blit(ComposeCddeck(s), kMargin * 2 + winW, y, kScale);
    y += winH + kMargin;

    Caption(cr, "2020: places (green), hit regions (yellow), glyph places (pink), text boxes (orange)", kMargin, y);
    Caption(cr, "2021: pressed (red), highlighted (orange), glyphs (pink), cover piece (green)", kMargin * 2 + winW, y);
    y += kCaption;
    canvas.Blit(s.window, kMargin, y, kScale);
    canvas.Blit(s.faces, kMargin * 2 + winW, y, kScale);
    OutlineWindow(cr, kMargin, y);
    OutlineFaces(cr, kMargin * 2 + winW, y);
    y += winH + kMargin;

    Caption(cr, "2023: page buttons, normal at y = 20 (green) and disabled at y = 70 (orange)", kMargin, y);
    y += kCaption;
    canvas.Blit(s.buttons, kMargin, y, kScale);
    OutlineButtons(cr, kMargin, y);

    cairo_surface_flush(canvas.Surface());
    return cairo_surface_write_to_png(canvas.Surface(), pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace skingen
