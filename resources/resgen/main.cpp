// resgen: draws the icons and cursors the programs carry themselves.
//   resgen <output folder>
// writes mpdeck.ico, cddeck.ico (32 and 16 pixels), checked.ico, unchecked.ico,
// hand.cur, dragrow.cur and dragrows.cur.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "IconFile.h"

namespace {

using resgen::ArgbImage;
using Painter = std::function<void(cairo_t*)>;

constexpr double kCyan[3] = {0.0, 193 / 255.0, 207 / 255.0};

// Renders a painter that draws on a 32-unit square at `size` pixels.
ArgbImage Render(int size, const Painter& paint) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size / 32.0, size / 32.0);
    paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    ArgbImage image{size, std::vector<uint32_t>(size_t(size) * size)};
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < size; ++x) {
            // Cairo keeps colours premultiplied; the files want them straight.
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            auto channel = [&](int shift) { return a ? std::min(255u, ((p >> shift & 0xFF) * 255 + a / 2) / a) : 0u; };
            image.pixels[size_t(y) * size + x] = a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

void RoundedSquare(cairo_t* cr, double x, double y, double s, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + s - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + s - r, y + s - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + s - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The player's face in miniature: a graphite tile with a cyan emblem.
void AppTile(cairo_t* cr) {
    RoundedSquare(cr, 1, 1, 30, 6);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 1, 0, 31);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.30, 0.32, 0.36);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.11, 0.12, 0.14);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
    cairo_stroke(cr);
    RoundedSquare(cr, 4, 4, 24, 4);
    cairo_set_source_rgb(cr, 10 / 255.0, 28 / 255.0, 34 / 255.0);
    cairo_fill(cr);
}

void MpdeckIcon(cairo_t* cr) {
    AppTile(cr);
    cairo_set_source_rgb(cr, kCyan[0], kCyan[1], kCyan[2]);
    // Two beamed notes.
    cairo_save(cr);
    cairo_translate(cr, 11, 22);
    cairo_scale(cr, 3.4, 2.6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 21, 20);
    cairo_scale(cr, 3.4, 2.6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    cairo_rectangle(cr, 13, 9, 2, 13);
    cairo_rectangle(cr, 23, 7, 2, 13);
    cairo_fill(cr);
    cairo_move_to(cr, 13, 9);
    cairo_line_to(cr, 25, 7);
    cairo_line_to(cr, 25, 10.5);
    cairo_line_to(cr, 13, 12.5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void CddeckIcon(cairo_t* cr) {
    AppTile(cr);
    cairo_arc(cr, 16, 16, 10, 0, 2 * M_PI);
    cairo_arc_negative(cr, 16, 16, 2.2, 2 * M_PI, 0);
    cairo_set_source_rgb(cr, kCyan[0], kCyan[1], kCyan[2]);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 10 / 255.0, 28 / 255.0, 34 / 255.0, 0.6);
    for (double r : {4.5, 7.0, 8.8}) {
        cairo_arc(cr, 16, 16, r, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
}

void CheckBox(cairo_t* cr, bool checked) {
    RoundedSquare(cr, 4, 4, 24, 4);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgb(cr, 0.42, 0.45, 0.50);
    cairo_stroke(cr);
    if (!checked) return;
    cairo_set_line_width(cr, 4.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, 9, 16.5);
    cairo_line_to(cr, 14, 21.5);
    cairo_line_to(cr, 23.5, 10);
    cairo_set_source_rgb(cr, 0.0, 0.60, 0.66);
    cairo_stroke(cr);
}

void Outlined(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_stroke(cr);
}

// A pointing hand; the tip of the index finger is the hot spot (10, 1).
void Hand(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, 8.5, 3);
    cairo_arc(cr, 10.5, 3, 2, M_PI, 0);
    cairo_line_to(cr, 12.5, 11);
    cairo_arc(cr, 14.5, 11.5, 2, M_PI, 0);
    cairo_arc(cr, 18.5, 12.5, 2, M_PI, 0);
    cairo_arc(cr, 22.5, 13.5, 2, M_PI, 0);
    cairo_line_to(cr, 24.5, 21);
    cairo_curve_to(cr, 24.5, 25, 22.5, 27.5, 20, 28.5);
    cairo_line_to(cr, 12, 28.5);
    cairo_curve_to(cr, 10, 26, 6, 21, 3.5, 18);
    cairo_curve_to(cr, 2.5, 16.5, 4.5, 14.5, 6.5, 16);
    cairo_line_to(cr, 8.5, 18);
    cairo_close_path(cr);
    Outlined(cr);
    cairo_set_line_width(cr, 1);
    for (double x : {12.5, 16.5, 20.5}) {
        cairo_move_to(cr, x, 16);
        cairo_line_to(cr, x, 21);
    }
    cairo_stroke(cr);
}

// The arrow pointer with its tip at (1, 1).
void Arrow(cairo_t* cr) {
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 18.5);
    cairo_line_to(cr, 5.5, 14.5);
    cairo_line_to(cr, 8.5, 21.5);
    cairo_line_to(cr, 11, 20.5);
    cairo_line_to(cr, 8, 13.5);
    cairo_line_to(cr, 13.5, 13.5);
    cairo_close_path(cr);
    Outlined(cr);
}

void Row(cairo_t* cr, double x, double y) {
    cairo_rectangle(cr, x + 0.5, y + 0.5, 16, 6);
    Outlined(cr);
    cairo_rectangle(cr, x + 3, y + 3, 8, 1);
    cairo_set_source_rgb(cr, 0, kCyan[1] * 0.75, kCyan[2] * 0.75);
    cairo_fill(cr);
}

void DragRow(cairo_t* cr) {
    Arrow(cr);
    Row(cr, 12, 20);
}

void DragRows(cairo_t* cr) {
    Arrow(cr);
    Row(cr, 15, 16);
    Row(cr, 13, 20);
    Row(cr, 11, 24);
}

bool Write(const std::string& path, const std::vector<unsigned char>& bytes) {
    if (resgen::WriteBytes(path, bytes)) return true;
    std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <output folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    const auto checked = [](cairo_t* cr) { CheckBox(cr, true); };
    const auto unchecked = [](cairo_t* cr) { CheckBox(cr, false); };
    const bool ok =
        Write(out + "/mpdeck.ico", resgen::EncodeIcon({Render(32, MpdeckIcon), Render(16, MpdeckIcon)})) &&
        Write(out + "/cddeck.ico", resgen::EncodeIcon({Render(32, CddeckIcon), Render(16, CddeckIcon)})) &&
        Write(out + "/checked.ico", resgen::EncodeIcon({Render(16, checked), Render(32, checked)})) &&
        Write(out + "/unchecked.ico", resgen::EncodeIcon({Render(16, unchecked), Render(32, unchecked)})) &&
        Write(out + "/hand.cur", resgen::EncodeCursor(Render(32, Hand), {10, 1})) &&
        Write(out + "/dragrow.cur", resgen::EncodeCursor(Render(32, DragRow), {1, 1})) &&
        Write(out + "/dragrows.cur", resgen::EncodeCursor(Render(32, DragRows), {1, 1}));
    return ok ? 0 : 1;
}
