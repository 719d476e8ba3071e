// The skin bitmaps of TELMAR.DLL: format, size for every rectangle the players
// read, and pixel probes that the images sit where the layout says.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "SkinLayout.h"
#include "TelmarIds.h"
#include "TelmarLibrary.h"

namespace {

using skin::Rect;
using telmartest::Library;

// A bitmap resource as stored: header, colour table, bottom-up 8-bit rows.
class Dib {
public:
    explicit Dib(UINT id) {
        HRSRC res = FindResourceA(Library(), MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
        if (!res) return;
        size_ = SizeofResource(Library(), res);
        header_ = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Library(), res)));
    }

    bool Found() const { return header_ != nullptr; }
    const BITMAPINFOHEADER& Header() const { return *header_; }
    DWORD Size() const { return size_; }
    int Width() const { return header_->biWidth; }
    int Height() const { return std::abs(header_->biHeight); }
    int Stride() const { return (Width() + 3) & ~3; }
    const RGBQUAD* Table() const {
        return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header_) + header_->biSize);
    }
    const BYTE* Bits() const { return reinterpret_cast<const BYTE*>(Table() + 256); }

    COLORREF Pixel(int x, int y) const {
        const int row = header_->biHeight > 0 ? Height() - 1 - y : y;
        const RGBQUAD q = Table()[Bits()[row * Stride() + x]];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }

    bool Covers(const Rect& r) const { return r.left >= 0 && r.top >= 0 && r.right <= Width() && r.bottom <= Height(); }

private:
    const BITMAPINFOHEADER* header_ = nullptr;
    DWORD size_ = 0;
};

int Differences(const Dib& a, const Rect& ra, const Dib& b, int bx, int by) {
    int n = 0;
    for (int y = 0; y < ra.Height(); ++y) {
        for (int x = 0; x < ra.Width(); ++x) n += a.Pixel(ra.left + x, ra.top + y) != b.Pixel(bx + x, by + y);
    }
    return n;
}

Rect At(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
Rect Digit(int sourceX) { return At(sourceX, skin::kGlyphRowY, skin::kDigitWidth, skin::kDigitHeight); }

const COLORREF kLcdText = RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);

TEST(TelmarBitmaps, AreEightBitWithAFullColourTable) {
    for (UINT id : {IDB_SKIN_WINDOW, IDB_SKIN_FACES, IDB_SKIN_PAGE_BUTTONS}) {
        const Dib dib(id);
        ASSERT_TRUE(dib.Found()) << id;
        EXPECT_EQ(dib.Header().biSize, sizeof(BITMAPINFOHEADER)) << id;
        EXPECT_EQ(dib.Header().biBitCount, 8) << id;
        EXPECT_EQ(dib.Header().biCompression, DWORD(BI_RGB)) << id;
        EXPECT_TRUE(dib.Header().biClrUsed == 0 || dib.Header().biClrUsed == 256) << id;
        // The loaders take 256 table entries whatever biClrUsed says; the bits follow.
        EXPECT_GE(dib.Size(), dib.Header().biSize + 256 * sizeof(RGBQUAD) + DWORD(dib.Stride() * dib.Height())) << id;
    }
}

TEST(TelmarBitmaps, WindowFaceHoldsEveryRectangleThePlayersRead) {
    const Dib window(IDB_SKIN_WINDOW);
    ASSERT_TRUE(window.Found());
    EXPECT_GE(window.Width(), 300);
    EXPECT_GE(window.Height(), 232);
    for (const skin::Hotspot& h : skin::kHotspots) {
        EXPECT_TRUE(window.Covers(h.place)) << h.id;
        // The window is one pixel smaller than the bitmap; places must lie inside it.
        EXPECT_LE(h.place.right, window.Width() - 1) << h.id;
        EXPECT_LE(h.place.bottom, window.Height() - 1) << h.id;
    }
    for (const Rect& r : skin::kLcdGlyphPlaces) EXPECT_TRUE(window.Covers(r));
    const Rect textBoxes[] = {{33, 35, 288, 49}, {33, 48, 213, 60}, {33, 60, 213, 72}, {33, 47, 283, 61},
                              {210, 91, 268, 103}, {221, 91, 286, 103}, {210, 80, 272, 116}};
    for (const Rect& r : textBoxes) EXPECT_TRUE(window.Covers(r));
    // cddeck repaints (221, 80)-(349, 116) after a volume change; what lies beyond the
    // window's right edge is clipped away, the rest must be there.
    EXPECT_TRUE(window.Covers({221, 80, window.Width() - 1, 116}));
}

TEST(TelmarBitmaps, FacesAndButtonsHoldEveryRectangleThePlayersRead) {
    const Dib faces(IDB_SKIN_FACES), buttons(IDB_SKIN_PAGE_BUTTONS);
    ASSERT_TRUE(faces.Found());
    ASSERT_TRUE(buttons.Found());
    for (const skin::Hotspot& h : skin::kHotspots) {
        EXPECT_TRUE(faces.Covers(h.pressed)) << h.id;
        EXPECT_TRUE(faces.Covers(h.highlighted)) << h.id;
    }
    EXPECT_TRUE(faces.Covers(skin::kEjectCoverSource));
    EXPECT_TRUE(faces.Covers(Digit(skin::kDigitBlankX)));
    EXPECT_TRUE(faces.Covers(At(skin::kColonBlankX, skin::kGlyphRowY, skin::kColonWidth, skin::kColonHeight)));
    for (const skin::Indicator& ind : skin::kIndicators) {
        EXPECT_TRUE(faces.Covers(At(ind.darkX, skin::kIndicatorY, ind.width + 1, skin::kIndicatorHeight)));
    }
    EXPECT_TRUE(faces.Covers(At(skin::kMeterLit.x, skin::kMeterLit.y, 7, 3)));
    EXPECT_TRUE(faces.Covers(At(skin::kVolumeUnlit.x, skin::kVolumeUnlit.y, 44, 15)));
    EXPECT_TRUE(faces.Covers(skin::kStripRightArrow));
    for (int i = 0; i < skin::kPageButtonCount; ++i) {
        const int width = i == skin::kPageMoreInfo ? skin::kPageWidestButton : skin::kPageButtonWidth;
        EXPECT_TRUE(buttons.Covers(At(skin::kPageButtonX[i], skin::kPageDisabledY, width, skin::kPageButtonHeight)));
    }
}

TEST(TelmarBitmaps, DigitsAreDistinctAndBlendIntoTheGlass) {
    const Dib window(IDB_SKIN_WINDOW), faces(IDB_SKIN_FACES);
    ASSERT_TRUE(window.Found() && faces.Found());
    // Digit 8 at (105, 128) against the blank at (150, 128).
    EXPECT_GT(Differences(faces, Digit(105), faces, skin::kDigitBlankX, skin::kGlyphRowY), 20);
    for (int a = 0; a <= 9; ++a) {
        for (int b = a + 1; b <= 9; ++b) {
            EXPECT_GT(Differences(faces, Digit(skin::DigitX(a)), faces, skin::DigitX(b), skin::kGlyphRowY), 4)
                << a << " / " << b;
        }
    }
    const Rect digit8 = Digit(skin::DigitX(8));
    bool lit = false;
    for (int y = digit8.top; y < digit8.bottom; ++y) {
        for (int x = digit8.left; x < digit8.right; ++x) lit = lit || faces.Pixel(x, y) == kLcdText;
    }
    EXPECT_TRUE(lit) << "lit segments use the LCD text colour";
    // The glyph's corner is the glass colour wherever digits are drawn.
    const COLORREF ground = faces.Pixel(skin::kDigitBlankX, skin::kGlyphRowY);
    for (const Rect& r : skin::kLcdGlyphPlaces) {
        EXPECT_EQ(window.Pixel(r.left, r.top), ground) << r.left << "," << r.top;
        EXPECT_EQ(window.Pixel(r.right - 1, r.bottom - 1), ground) << r.right << "," << r.bottom;
    }
}

TEST(TelmarBitmaps, LitAndUnlitImagesDiffer) {
    const Dib faces(IDB_SKIN_FACES);
    ASSERT_TRUE(faces.Found());
    const int y = skin::kGlyphRowY;
    EXPECT_GT(Differences(faces, At(skin::kColonX, y, 4, 10), faces, skin::kColonBlankX, y), 2);
    for (const skin::Indicator& ind : skin::kIndicators) {
        EXPECT_GT(Differences(faces, At(ind.litX, skin::kIndicatorY, ind.width, 9), faces, ind.darkX, skin::kIndicatorY),
                  8)
            << ind.litX;
    }
    EXPECT_EQ(Differences(faces, At(skin::kMeterLit.x, skin::kMeterLit.y, 7, 3), faces, skin::kMeterUnlit.x,
                          skin::kMeterUnlit.y),
              21);
    EXPECT_GT(Differences(faces, At(skin::kVolumeLit.x, skin::kVolumeLit.y, 44, 15), faces, skin::kVolumeUnlit.x,
                          skin::kVolumeUnlit.y),
              100);
    EXPECT_GT(Differences(faces, skin::kStripLeftArrow, faces, skin::kStripRightArrow.left, skin::kStripRightArrow.top),
              10);
}

TEST(TelmarBitmaps, EveryHotspotHasPressedAndHighlightedFacesThatBlendIn) {
    const Dib window(IDB_SKIN_WINDOW), faces(IDB_SKIN_FACES);
    ASSERT_TRUE(window.Found() && faces.Found());
    for (const skin::Hotspot& h : skin::kHotspots) {
        const int area = h.place.Width() * h.place.Height();
        EXPECT_GT(Differences(faces, h.pressed, window, h.place.left, h.place.top), area / 10) << h.id;
        EXPECT_GT(Differences(faces, h.highlighted, window, h.place.left, h.place.top), area / 20) << h.id;
        EXPECT_GT(Differences(faces, h.pressed, faces, h.highlighted.left, h.highlighted.top), area / 20) << h.id;
        // A face's corner is the window's own pixel there, so no seam shows.
        EXPECT_EQ(faces.Pixel(h.pressed.left, h.pressed.top), window.Pixel(h.place.left, h.place.top)) << h.id;
    }
    // Both bitmaps use one colour table, so copies match on palette displays too.
    EXPECT_TRUE(std::equal(window.Table(), window.Table() + 256, faces.Table(), [](const RGBQUAD& a, const RGBQUAD& b) {
        return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
    }));
}

TEST(TelmarBitmaps, CoverPieceHidesTheEjectButtonForMpdeck) {
    const Dib window(IDB_SKIN_WINDOW), faces(IDB_SKIN_FACES);
    ASSERT_TRUE(window.Found() && faces.Found());
    EXPECT_GT(Differences(faces, skin::kEjectCoverSource, window, skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y),
              100);
    // Its top-left corner is plain body, as around it.
    EXPECT_EQ(faces.Pixel(skin::kEjectCoverSource.left, skin::kEjectCoverSource.top),
              window.Pixel(skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y));
}

TEST(TelmarBitmaps, PageButtonsHaveDistinctNormalAndDisabledImages) {
    const Dib buttons(IDB_SKIN_PAGE_BUTTONS);
    ASSERT_TRUE(buttons.Found());
    const int area = skin::kPageButtonWidth * skin::kPageButtonHeight;
    for (int i = 0; i < skin::kPageButtonCount; ++i) {
        const Rect normal = At(skin::kPageButtonX[i], skin::kPageNormalY, skin::kPageButtonWidth, skin::kPageButtonHeight);
        EXPECT_GT(Differences(buttons, normal, buttons, normal.left, skin::kPageDisabledY), area / 20) << i;
        for (int j = i + 1; j < skin::kPageButtonCount; ++j) {
            EXPECT_GT(Differences(buttons, normal, buttons, skin::kPageButtonX[j], skin::kPageNormalY), area / 20)
                << i << " / " << j;
        }
    }
}

// The players make device-dependent bitmaps with CreateDIBitmap and the colour table.
TEST(TelmarBitmaps, GdiBuildsDeviceBitmapsWithTheLcdColours) {
    const Dib faces(IDB_SKIN_FACES);
    ASSERT_TRUE(faces.Found());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &faces.Header(), CBM_INIT, faces.Bits(),
                                    reinterpret_cast<const BITMAPINFO*>(&faces.Header()), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, faces.Width());
    EXPECT_EQ(info.bmHeight, faces.Height());
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The middle bar of the lit meter segment and the corner of a lit volume bar.
    EXPECT_EQ(GetPixel(memory, skin::kMeterLit.x + 3, skin::kMeterLit.y + 1), kLcdText);
    EXPECT_EQ(GetPixel(memory, skin::kVolumeLit.x + 42, skin::kVolumeLit.y + 14), kLcdText);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);

    HBITMAP loaded = LoadBitmapA(Library(), MAKEINTRESOURCEA(IDB_SKIN_WINDOW));
    ASSERT_NE(loaded, nullptr);
    GetObjectA(loaded, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, skin::kWindowWidth);
    EXPECT_EQ(info.bmHeight, skin::kWindowHeight);
    DeleteObject(loaded);
}

}  // namespace
