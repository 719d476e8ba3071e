#include "LcdCanvas.h"

#include "SkinApp.h"
#include "SkinText.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

COLORREF LcdTextColor() {
    return RGB(skin::kLcdTextRed, skin::kLcdTextGreen, skin::kLcdTextBlue);
}

BOOL CreateLcdFont(CFont& font, int nHeight, int nWeight) {
    return font.CreateFont(-nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
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

void CLcdCanvas::Text(const CString& str, const skin::Rect& rc, int nHeight, int nWeight, bool bInverse) {
    if (!m_pDC) return;
    CFont font;
    if (!CreateLcdFont(font, nHeight, nWeight)) return;
    CDC& dc = *m_pDC;
    CSelectGuard select(dc, font);
    const int nOldMode = dc.SetBkMode(bInverse ? OPAQUE : TRANSPARENT);
    const COLORREF crOldText = dc.SetTextColor(bInverse ? RGB(0, 0, 0) : LcdTextColor());
    const COLORREF crOldBack = dc.SetBkColor(LcdTextColor());
    CRect rcText(rc.left, rc.top, rc.right, rc.bottom);
    const UINT nFormat = DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | (bInverse ? DT_VCENTER : DT_TOP);
    dc.DrawText(str, &rcText, nFormat);
    dc.SetBkColor(crOldBack);
    dc.SetTextColor(crOldText);
    dc.SetBkMode(nOldMode);
}
