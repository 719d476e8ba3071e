#include "SkinWindow.h"

#include "SkinLayout.h"

BOOL ShapePlayerWindow(CWnd& wnd, const CBitmap& bmpBackground, CRgn& rgnWindow, int x, int y) {
    const CSize size = bmpBackground.GetSize();
    rgnWindow.DeleteObject();
    if (!rgnWindow.CreateRoundRectRgn(0, 0, size.cx - 1, size.cy - 1, skin::kCornerEllipseWidth,
                                       skin::kCornerEllipseHeight)) {
        return FALSE;
    }
    CRgn rgnSystem;
    if (!rgnSystem.CreateRectRgn(0, 0, 0, 0) || rgnSystem.CombineRgn(&rgnWindow, nullptr, RGN_COPY) == ERROR) {
        return FALSE;
    }
    wnd.SetWindowRgn(static_cast<HRGN>(rgnSystem.Detach()), FALSE);
    wnd.MoveWindow(x, y, size.cx - 1, size.cy - 1, FALSE);
    return TRUE;
}

void DrawSkinPiece(CDC& dc, CBitmap& bmp, CPalette& pal, int x, int y, int w, int h, int xSrc, int ySrc) {
    CDC memDC;
    if (!memDC.CreateCompatibleDC(&dc)) return;
    HPALETTE hPalette = static_cast<HPALETTE>(pal.GetSafeHandle());
    CPaletteGuard targetPalette(dc, hPalette, FALSE);
    CPaletteGuard memPalette(memDC, hPalette, FALSE);
    CSelectGuard bitmap(memDC, bmp);
    dc.BitBlt(x, y, w, h, &memDC, xSrc, ySrc, SRCCOPY);
}
