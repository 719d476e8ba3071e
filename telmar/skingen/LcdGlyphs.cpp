#include "LcdGlyphs.h"

#include "Theme.h"

namespace skingen {
namespace {

// Segment bits: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
enum : unsigned { kA = 1, kB = 2, kC = 4, kD = 8, kE = 16, kF = 32, kG = 64 };
constexpr unsigned kDigitSegments[10] = {
    kA | kB | kC | kD | kE | kF, kB | kC, kA | kB | kD | kE | kG, kA | kB | kC | kD | kG,
    kB | kC | kF | kG, kA | kC | kD | kF | kG, kA | kC | kD | kE | kF | kG, kA | kB | kC,
    kA | kB | kC | kD | kE | kF | kG, kA | kB | kC | kD | kF | kG,
};

// Corners of the segment centre lines inside a 12 x 19 cell; the outer columns and
// rows stay ground because the colon overlaps a digit's first and last column.
constexpr double kLeft = 2.5, kRight = 9.5, kTop = 2.0, kMiddle = 9.5, kBottom = 17.0;
constexpr double kThickness = 2.0;
constexpr double kGap = 0.7;

void Segment(cairo_t* cr, double x0, double y0, double x1, double y1) {
    const double h = kThickness / 2;
    if (y0 == y1) {
        x0 += kGap;
        x1 -= kGap;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 - h);
        cairo_line_to(cr, x1 - h, y0 - h);
        cairo_line_to(cr, x1, y0);
        cairo_line_to(cr, x1 - h, y0 + h);
        cairo_line_to(cr, x0 + h, y0 + h);
    } else {
        y0 += kGap;
        y1 -= kGap;
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x0 + h, y0 + h);
        cairo_line_to(cr, x0 + h, y1 - h);
        cairo_line_to(cr, x0, y1);
        cairo_line_to(cr, x0 - h, y1 - h);
        cairo_line_to(cr, x0 - h, y0 + h);
    }
    cairo_close_path(cr);
}

void SegmentPath(cairo_t* cr, unsigned bit) {
    switch (bit) {
        case kA: Segment(cr, kLeft, kTop, kRight, kTop); break;
        case kB: Segment(cr, kRight, kTop, kRight, kMiddle); break;
        case kC: Segment(cr, kRight, kMiddle, kRight, kBottom); break;
        case kD: Segment(cr, kLeft, kBottom, kRight, kBottom); break;
        case kE: Segment(cr, kLeft, kMiddle, kLeft, kBottom); break;
        case kF: Segment(cr, kLeft, kTop, kLeft, kMiddle); break;
        case kG: Segment(cr, kLeft, kMiddle, kRight, kMiddle); break;
    }
}

void Ground(cairo_t* cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    SetColor(cr, theme::kLcdGround);
    cairo_fill(cr);
}

// A digit, or the blank cell (lit = 0): lit segments in the text colour, the
// others ghosted as on a real panel.
void DrawDigitCell(cairo_t* cr, int x, int y, unsigned lit) {
    Ground(cr, x, y, skin::kDigitWidth, skin::kDigitHeight);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    for (unsigned bit = kA; bit <= kG; bit <<= 1) {
        SegmentPath(cr, bit);
        SetColor(cr, (lit & bit) ? theme::kLcdText : theme::kLcdGhost);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawColon(cairo_t* cr, int x, int y, const Color& dots) {
    Ground(cr, x, y, skin::kColonWidth, skin::kColonHeight);
    cairo_rectangle(cr, x + 1, y + 2, 2, 2);
    cairo_rectangle(cr, x + 1, y + 6, 2, 2);
    SetColor(cr, dots);
    cairo_fill(cr);
}

void TrianglePath(cairo_t* cr, double x, double y, double w, double h, bool pointsRight) {
    const double tip = pointsRight ? x + w : x;
    const double base = pointsRight ? x : x + w;
    cairo_move_to(cr, base, y);
    cairo_line_to(cr, tip, y + h / 2);
    cairo_line_to(cr, base, y + h);
    cairo_close_path(cr);
}

enum IndicatorKind { kPlay, kPause, kForward, kBack };

void DrawIndicator(cairo_t* cr, IndicatorKind kind, int x, const Color& c) {
    const skin::Indicator& ind = skin::kIndicators[kind];
    const double y = skin::kIndicatorY;
    Ground(cr, x, y, ind.width + skin::kIndicatorSlack, skin::kIndicatorHeight);
    switch (kind) {
        case kPlay: TrianglePath(cr, x, y + 0.5, 5, 8, true); break;
        case kPause:
            cairo_rectangle(cr, x, y + 1, 2, 7);
            cairo_rectangle(cr, x + 3, y + 1, 2, 7);
            break;
        case kForward:
            TrianglePath(cr, x, y + 1, 5, 7, true);
            TrianglePath(cr, x + 5, y + 1, 5, 7, true);
            break;
        case kBack:
            TrianglePath(cr, x, y + 1, 5, 7, false);
            TrianglePath(cr, x + 5, y + 1, 5, 7, false);
            break;
    }
    SetColor(cr, c);
    cairo_fill(cr);
}

void DrawMeterSegment(cairo_t* cr, const skin::Point& at, const Color& c) {
    cairo_rectangle(cr, at.x, at.y, skin::kMeterSegmentWidth, skin::kMeterSegmentHeight);
    SetColor(cr, c);
    cairo_fill(cr);
}

// Rising bars two pixels wide with one pixel between them: the lit image's first
// 3v - 1 columns show exactly v bars.
void DrawVolumeBar(cairo_t* cr, const skin::Point& at, const Color& c) {
    Ground(cr, at.x, at.y, skin::kVolumeBarWidth, skin::kVolumeBarHeight);
    const int bars = (skin::kVolumeBarWidth + 1) / 3;
    for (int k = 0; k < bars; ++k) {
        const int height = 3 + (k * (skin::kVolumeBarHeight - 3) + (bars - 1) / 2) / (bars - 1);
        cairo_rectangle(cr, at.x + 3 * k, at.y + skin::kVolumeBarHeight - height, 2, height);
    }
    SetColor(cr, c);
    cairo_fill(cr);
}

void DrawStripArrow(cairo_t* cr, const skin::Rect& r, bool pointsRight) {
    Ground(cr, r.left, r.top, r.Width(), r.Height());
    TrianglePath(cr, r.left + (pointsRight ? 3.0 : 2.5), r.top + 1.5, 5.5, 8, pointsRight);
    SetColor(cr, theme::kLcdText);
    cairo_fill(cr);
}

}  // namespace

void PaintLcdGlyphs(RgbImage& faces) {
    Canvas canvas(faces.width, faces.height);
    canvas.Blit(faces, 0, 0);
    cairo_t* cr = canvas.Context();

    for (int d = 0; d <= 9; ++d) DrawDigitCell(cr, skin::DigitX(d), skin::kGlyphRowY, kDigitSegments[d]);
    DrawDigitCell(cr, skin::kDigitBlankX, skin::kGlyphRowY, 0);
    DrawColon(cr, skin::kColonX, skin::kGlyphRowY, theme::kLcdText);
    DrawColon(cr, skin::kColonBlankX, skin::kGlyphRowY, theme::kLcdGhost);

    for (int kind = kPlay; kind <= kBack; ++kind) {
        const skin::Indicator& ind = skin::kIndicators[kind];
        DrawIndicator(cr, IndicatorKind(kind), ind.litX, theme::kLcdText);
        DrawIndicator(cr, IndicatorKind(kind), ind.darkX, theme::kLcdGhost);
    }

    DrawMeterSegment(cr, skin::kMeterUnlit, theme::kLcdGhost);
    DrawMeterSegment(cr, skin::kMeterLit, theme::kLcdText);
    DrawVolumeBar(cr, skin::kVolumeLit, theme::kLcdText);
    DrawVolumeBar(cr, skin::kVolumeUnlit, theme::kLcdGhost);
    DrawStripArrow(cr, skin::kStripLeftArrow, false);
    DrawStripArrow(cr, skin::kStripRightArrow, true);

    faces = canvas.ToImage();
}

}  // namespace skingen
