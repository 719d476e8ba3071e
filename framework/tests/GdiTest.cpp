// Palettes, memory DCs and regions: the skin drawing path of the players.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "fw/Framework.h"

namespace {

const RGBQUAD kTable[4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {40, 200, 240, 0}};

// A packed 8-bit DIB of 4 x 2 pixels whose pixel (x, y) has colour index (x + y) % 4.
std::vector<BYTE> MakePackedDib() {
    const size_t header = sizeof(BITMAPINFOHEADER), table = 256 * sizeof(RGBQUAD), stride = 4;
    std::vector<BYTE> dib(header + table + stride * 2, 0);
    auto* pInfo = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    pInfo->biSize = sizeof(BITMAPINFOHEADER);
    pInfo->biWidth = 4;
    pInfo->biHeight = -2;  // top-down
    pInfo->biPlanes = 1;
    pInfo->biBitCount = 8;
    pInfo->biCompression = BI_RGB;
    std::memcpy(dib.data() + header, kTable, sizeof kTable);
    BYTE* pBits = dib.data() + header + table;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) pBits[y * stride + x] = static_cast<BYTE>((x + y) % 4);
    }
    return dib;
}

bool MakePalette(CPalette& palette) {
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + 4 * sizeof(PALETTEENTRY));
    auto* pLog = reinterpret_cast<LOGPALETTE*>(storage.data());
    pLog->palVersion = 0x300;
    pLog->palNumEntries = 4;
    for (int i = 0; i < 4; ++i) {
        pLog->palPalEntry[i] = {kTable[i].rgbRed, kTable[i].rgbGreen, kTable[i].rgbBlue, 0};
    }
    return palette.CreatePalette(pLog) != FALSE;
}

COLORREF Expected(int x, int y) {
    const RGBQUAD& q = kTable[(x + y) % 4];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

TEST(Gdi, PaletteSelectingBlitFromAMemoryDcLandsTheExpectedPixels) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(WS_EX_TOPMOST, nullptr, "blit", WS_POPUP | WS_VISIBLE, 40, 40, 60, 40, nullptr, nullptr));
    wnd.UpdateWindow();
    orvtest::PumpFor(100);

    CPalette palette;
    ASSERT_TRUE(MakePalette(palette));
    EXPECT_EQ(palette.GetEntryCount(), 4);
    const std::vector<BYTE> dib = MakePackedDib();
    const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const BYTE* pBits = dib.data() + sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

    CClientDC dc(&wnd);
    CBitmap bitmap;
    {
        CPaletteGuard screenPalette(dc, palette, FALSE);
        ASSERT_TRUE(bitmap.Attach(::CreateDIBitmap(dc, &pInfo->bmiHeader, CBM_INIT, pBits, pInfo, DIB_RGB_COLORS)));
    }
    EXPECT_EQ(bitmap.GetSize(), CSize(4, 2));

    CDC memDC;
    ASSERT_TRUE(memDC.CreateCompatibleDC(&dc));
    const HGDIOBJ originalBitmap = ::GetCurrentObject(memDC, OBJ_BITMAP);
    const HGDIOBJ originalPalette = ::GetCurrentObject(memDC, OBJ_PAL);
    {
        CPaletteGuard targetPalette(dc, palette, TRUE);
        CPaletteGuard sourcePalette(memDC, palette, TRUE);
        CSelectGuard selected(memDC, bitmap);
        ASSERT_TRUE(dc.BitBlt(10, 5, 4, 2, &memDC, 0, 0, SRCCOPY));
    }
    EXPECT_EQ(::GetCurrentObject(memDC, OBJ_BITMAP), originalBitmap) << "the guard put the old bitmap back";
    EXPECT_EQ(::GetCurrentObject(memDC, OBJ_PAL), originalPalette);

    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dc.GetPixel(10 + x, 5 + y), Expected(x, y)) << x << "," << y;
    }
}

TEST(Gdi, RegionsHitTestAndBoundingBoxes) {
    CRgn ellipse;
    ASSERT_TRUE(ellipse.CreateEllipticRgn(46, 150, 67, 171));
    EXPECT_TRUE(ellipse.PtInRegion(56, 160));
    EXPECT_FALSE(ellipse.PtInRegion(47, 151)) << "the corner of the box is outside the ellipse";
    CRect box;
    EXPECT_NE(ellipse.GetRgnBox(&box), ERROR);
    // Wine gives (46, 150, 66, 170): the ellipse stops a pixel short of the box.
    EXPECT_EQ(box.left, 46);
    EXPECT_EQ(box.top, 150);
    EXPECT_GE(box.right, 66);
    EXPECT_LE(box.right, 67);
    EXPECT_GE(box.bottom, 170);
    EXPECT_LE(box.bottom, 171);

    CRgn rect;
    ASSERT_TRUE(rect.CreateRectRgn(138, 164, 182, 203));
    EXPECT_TRUE(rect.PtInRegion(CPoint(138, 164)));
    EXPECT_FALSE(rect.PtInRegion(CPoint(182, 203))) << "right and bottom edges are outside";

    CRgn round;
    ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 300, 200, 80, 80));
    EXPECT_FALSE(round.PtInRegion(2, 2));
    EXPECT_TRUE(round.PtInRegion(150, 2));

    CRgn both;
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&ellipse, &rect, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(56, 160));
    EXPECT_TRUE(both.PtInRegion(150, 180));

    CRgn empty;
    EXPECT_FALSE(empty.PtInRegion(0, 0));
    EXPECT_EQ(empty.GetRgnBox(&box), ERROR);
}

TEST(Gdi, WindowRegionTakesADetachedRegion) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "region", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
    CRgn rgn;
    ASSERT_TRUE(rgn.CreateEllipticRgn(0, 0, 100, 100));
    ASSERT_NE(wnd.SetWindowRgn(static_cast<HRGN>(rgn.Detach()), TRUE), 0);
    HRGN hCopy = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(wnd.m_hWnd, hCopy), COMPLEXREGION);
    EXPECT_TRUE(::PtInRegion(hCopy, 50, 50));
    EXPECT_FALSE(::PtInRegion(hCopy, 2, 2));
    ::DeleteObject(hCopy);
}

TEST(Gdi, FontsPensAndBrushesOwnTheirHandles) {
    HGDIOBJ hFont = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreateFont(-8, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH, "MS Sans Serif"));
        hFont = font.m_hObject;
        LOGFONTA lf = {};
        ASSERT_TRUE(font.GetObject(sizeof lf, &lf));
        EXPECT_EQ(lf.lfHeight, -8);
        CPen pen(PS_SOLID, 1, RGB(128, 128, 128));
        CBrush brush(RGB(1, 2, 3));
        EXPECT_NE(pen.m_hObject, nullptr);
        EXPECT_NE(brush.m_hObject, nullptr);
    }
    EXPECT_EQ(::GetObjectType(hFont), 0u) << "deleted with its object";
}

}  // namespace
