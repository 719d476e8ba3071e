// The skin on a real display: the bitmaps are loaded the way the players load
// them (device bitmap and palette from the colour table), painted into a
// region-shaped window like mpdeck's, and read back from a screenshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "SkinLayout.h"
#include "TelmarIds.h"
#include "TelmarLibrary.h"
#include "TestSupport.h"

namespace {

using skin::Rect;
using telmartest::Library;

struct SkinBitmap {
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    ~SkinBitmap() {
        if (bitmap) DeleteObject(bitmap);
        if (palette) DeleteObject(palette);
    }
};

// A palette of every table entry, then a device bitmap initialised from the bits.
bool LoadSkin(UINT id, SkinBitmap& out) {
    HRSRC res = FindResourceA(Library(), MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (!res) return false;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Library(), res)));
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
    const int entries = 1 << header->biBitCount;
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = WORD(entries);
    for (int i = 0; i < entries; ++i) {
        logical->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    }
    out.palette = CreatePalette(logical);
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, out.palette, FALSE);
    RealizePalette(screen);
    out.bitmap = CreateDIBitmap(screen, header, CBM_INIT, table + entries,
                                reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    return out.bitmap != nullptr;
}

struct Scene {
    SkinBitmap window, faces;
};
Scene* g_scene = nullptr;

void Copy(HDC target, HBITMAP from, const Rect& source, int x, int y) {
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(memory, from);
    BitBlt(target, x, y, source.Width(), source.Height(), memory, source.left, source.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

const skin::Hotspot& Hot(unsigned id) {
    for (const skin::Hotspot& h : skin::kHotspots) {
        if (h.id == id) return h;
    }
    return skin::kHotspots[0];
}

Rect DigitSource(int d) {
    const int x = d < 0 ? skin::kDigitBlankX : skin::DigitX(d);
    return {x, skin::kGlyphRowY, x + skin::kDigitWidth, skin::kGlyphRowY + skin::kDigitHeight};
}

// mpdeck's paint: the face, the cover over the eject button, song 12, Play pressed.
void Paint(HDC dc) {
    Copy(dc, g_scene->window.bitmap, {0, 0, skin::kWindowWidth, skin::kWindowHeight}, 0, 0);
    Copy(dc, g_scene->faces.bitmap, skin::kEjectCoverSource, skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y);
    Copy(dc, g_scene->faces.bitmap, DigitSource(-1), 33, 94);
    Copy(dc, g_scene->faces.bitmap, DigitSource(1), 45, 94);
    Copy(dc, g_scene->faces.bitmap, DigitSource(2), 57, 94);
    const skin::Hotspot& play = Hot(skin::kHotPlay);
    Copy(dc, g_scene->faces.bitmap, play.pressed, play.place.left, play.place.top);
}

LRESULT CALLBACK SkinWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 8 && std::abs(GetGValue(a) - GetGValue(b)) < 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 8;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF c = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST(TelmarScreen, MpdeckFacePaintsIntoItsRegionAsTheBitmapsSay) {
    Scene scene;
    ASSERT_TRUE(LoadSkin(IDB_SKIN_WINDOW, scene.window));
    ASSERT_TRUE(LoadSkin(IDB_SKIN_FACES, scene.faces));
    g_scene = &scene;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = SkinWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TelmarSkinTest";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    const int x = 140, y = 110, w = skin::kWindowWidth - 1, h = skin::kWindowHeight - 1;
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "OrvMP3Player", WS_POPUP, x, y, w, h, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, w, h, skin::kCornerEllipseWidth, skin::kCornerEllipseHeight), FALSE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    orvtest::PumpFor(700);

    const orvtest::Screenshot shot = orvtest::CaptureScreen("telmar-skin-onscreen");
    ASSERT_TRUE(shot.Valid());
    // LCD glass, a lit segment of the "2", the pressed Play face and the cover piece.
    const Rect& pressed = Hot(skin::kHotPlay).pressed;
    const struct {
        int wx, wy;
        COLORREF expected;
    } probes[] = {
        {150, 60, PixelOf(scene.window.bitmap, 150, 60)},
        {57 + 5, 94 + 1, PixelOf(scene.faces.bitmap, skin::DigitX(2) + 5, skin::kGlyphRowY + 1)},
        {160, 184, PixelOf(scene.faces.bitmap, pressed.left + 22, pressed.top + 20)},
        {298, 214, PixelOf(scene.faces.bitmap, skin::kEjectCoverSource.left + 11, skin::kEjectCoverSource.top + 16)},
        {20, 230, PixelOf(scene.window.bitmap, 20, 230)},
    };
    for (const auto& p : probes) {
        EXPECT_TRUE(Near(shot.Pixel(x + p.wx, y + p.wy), p.expected)) << p.wx << "," << p.wy;
    }
    EXPECT_TRUE(Near(shot.Pixel(x + 57 + 5, y + 94 + 1),
                     RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue)));
    // The eject button is covered: the pixel differs from the shared face there.
    EXPECT_FALSE(Near(shot.Pixel(x + 298, y + 210), PixelOf(scene.window.bitmap, 298, 210)));

    DestroyWindow(hwnd);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    g_scene = nullptr;
}

}  // namespace
