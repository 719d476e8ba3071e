#include "LcdCanvas.h"

#include <algorithm>

#include "SkinApp.h"
#include "SkinText.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

COLORREF LcdTextColor() {
    return RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);
}

BOOL CreateLcdFont(CFont& font, int nHeight, int nWeight, int nWidth) {
    return font.CreateFont(-nHeight, nWidth, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH, LoadText(IDS_LCD_FONT));
}

CLcdFace::CLcdFace(CDC& target) {
    if (!m_dc.CreateCompatibleDC(&target)) return;
    CSkinApp* pApp = GetSkinApp();
    HPALETTE hPalette = static_cast<HPALETTE>(pApp->m_palFace.GetSafeHandle());
    m_targetPalette.emplace(target, hPalette, FALSE);
    m_facePalette.emplace(m_dc, hPalette, FALSE);
    m_bitmap.emplace(m_dc, pApp->m_bmpFace);
}

CLcdCanvas::CLcdCanvas(CWnd* pWnd, CDC* pDC, CDC* pSharedFace, bool bNoFace) {
    if (pDC) {
        m_pDC = pDC;
    } else if (pWnd && pWnd->m_hWnd) {
        m_client.emplace(pWnd);
        m_pDC = &*m_client;
    }
    if (!m_pDC || bNoFace) return;
    if (pSharedFace) {
        m_pFace = pSharedFace;
        return;
    }
    m_ownFace.emplace(*m_pDC);
    m_pFace = m_ownFace->Dc();
}

void CLcdCanvas::Face(int x, int y, int w, int h, int xSrc, int ySrc) {
    if (!Valid() || w <= 0 || h <= 0) return;
    m_pDC->BitBlt(x, y, w, h, m_pFace, xSrc, ySrc, SRCCOPY);
}

void CLcdCanvas::Face(const skin::Rect& source, int x, int y) {
    Face(x, y, source.Width(), source.Height(), source.left, source.top);
}

void CLcdCanvas::Background(const skin::Rect& rc) {
    if (!m_pDC) return;
    CSkinApp* pApp = GetSkinApp();
    DrawSkinPiece(*m_pDC, pApp->m_bmpBackground, pApp->m_palBackground, rc.left, rc.top, rc.Width(), rc.Height(),
                  rc.left, rc.top);
}

void CLcdCanvas::Text(const CString& str, const skin::Rect& rc, int nHeight, int nWeight) {
    if (!m_pDC) return;
    CFont font;
    if (!CreateLcdFont(font, nHeight, nWeight)) return;
    CDC& dc = *m_pDC;
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOldText = dc.SetTextColor(LcdTextColor());
    CRect rcText(rc.left, rc.top, rc.right, rc.bottom);
    dc.DrawText(str, &rcText, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_TOP);
    dc.SetTextColor(crOldText);
    dc.SetBkMode(nOldMode);
}

namespace {

// Room left of the word and right of it.
constexpr int kLabelPadLeft = 1;
constexpr int kLabelPadRight = 2;
constexpr COLORREF kPaper = RGB(255, 255, 255);

// How far the word's glyphs really reach from where it starts: at the panel's small
// sizes the glyphs drawn can run several pixels past the width the metrics give, so
// the word is drawn aside on white and looked at.
int InkWidth(CDC& dc, CFont& font, const CString& str) {
    const CSize size = dc.GetTextExtent(str);
    const int nWidth = static_cast<int>(size.cx) + 32, nHeight = static_cast<int>(size.cy) + 4;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    CDC aside;
    if (!aside.CreateCompatibleDC(&dc)) return static_cast<int>(size.cx);
    HBITMAP hBitmap = ::CreateDIBSection(aside.GetSafeHdc(), &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits) return static_cast<int>(size.cx);
    int nInk = 0;
    {
        CSelectGuard bitmap(aside, hBitmap);
        CSelectGuard selectFont(aside, font);
        aside.FillSolidRect(CRect(0, 0, nWidth, nHeight), kPaper);
        aside.SetBkMode(TRANSPARENT);
        aside.SetTextColor(RGB(0, 0, 0));
        aside.TextOut(0, 0, str);
        ::GdiFlush();
        const auto* pPixels = static_cast<const DWORD*>(pBits);
        for (int y = 0; y < nHeight; ++y)
            for (int x = nInk; x < nWidth; ++x)
                if ((pPixels[y * nWidth + x] & 0xFFFFFF) != 0xFFFFFF) nInk = x + 1;
    }
    ::DeleteObject(hBitmap);
    return nInk;
}

}  // namespace

void CLcdCanvas::Label(const CString& str, const skin::Rect& rc, int nHeight) {
    if (!m_pDC) return;
    CDC& dc = *m_pDC;
    const int nRoom = rc.Width() - kLabelPadLeft - kLabelPadRight;
    CFont font;
    if (!CreateLcdFont(font, nHeight, FW_NORMAL)) return;
    std::optional<CSelectGuard> select;
    select.emplace(dc, font);
    int nInk = InkWidth(dc, font, str);
    if (nInk > nRoom) {
        TEXTMETRIC tm = {};
        ::GetTextMetricsA(dc.GetSafeHdc(), &tm);
        // The width asked for is an average; narrower steps until the word fits.
        for (int nWidth = static_cast<int>(tm.tmAveCharWidth) * nRoom / nInk; nWidth > 0 && nInk > nRoom; --nWidth) {
            select.reset();
            font.DeleteObject();
            if (!CreateLcdFont(font, nHeight, FW_NORMAL, nWidth)) return;
            select.emplace(dc, font);
            nInk = InkWidth(dc, font, str);
        }
    }
    const int nGroundRight = std::min(rc.left + kLabelPadLeft + nInk + kLabelPadRight, rc.right);
    const CRect rcGround(rc.left, rc.top, nGroundRight, rc.bottom);
    dc.FillSolidRect(&rcGround, LcdTextColor());
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOldText = dc.SetTextColor(RGB(0, 0, 0));
    CRect rcText(rc.left + kLabelPadLeft, rc.top, rc.right, rc.bottom);
    dc.DrawText(str, &rcText, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_VCENTER);
    dc.SetTextColor(crOldText);
    dc.SetBkMode(nOldMode);
}
