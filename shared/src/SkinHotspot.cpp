#include "SkinHotspot.h"

#include "SkinApp.h"

namespace {

CRect ToRect(const skin::Rect& rc) {
    return CRect(rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace

BOOL CSkinHotspot::Init(const skin::Hotspot& layout) {
    m_nId = layout.id;
    m_nState = kNormal;
    m_rcPlace = ToRect(layout.place);
    m_rcPressed = ToRect(layout.pressed);
    m_rcHighlighted = ToRect(layout.highlighted);
    m_rgn.DeleteObject();
    const skin::Rect& r = layout.region;
    if (layout.shape == skin::Shape::Ellipse) return m_rgn.CreateEllipticRgn(r.left, r.top, r.right, r.bottom);
    return m_rgn.CreateRectRgn(r.left, r.top, r.right, r.bottom);
}

void CSkinHotspot::Draw(CDC* pDC, UINT nState) {
    if (!pDC || nState == m_nState) return;
    m_nState = nState;
    Paint(*pDC);
}

void CSkinHotspot::Paint(CDC& dc) {
    CSkinApp* pApp = GetSkinApp();
    CDC memDC;
    if (memDC.CreateCompatibleDC(&dc)) {
        const bool bNormal = m_nState == kNormal;
        CBitmap& bmp = bNormal ? pApp->m_bmpBackground : pApp->m_bmpFace;
        HPALETTE hPalette = static_cast<HPALETTE>((bNormal ? pApp->m_palBackground : pApp->m_palFace).GetSafeHandle());
        CPoint ptSource = m_rcPlace.TopLeft();
        if (m_nState == kPressed) ptSource = m_rcPressed.TopLeft();
        if (m_nState == kHighlighted) ptSource = m_rcHighlighted.TopLeft();
        CPaletteGuard targetPalette(dc, hPalette, TRUE);
        CPaletteGuard memPalette(memDC, hPalette, TRUE);
        CSelectGuard bitmap(memDC, bmp);
        dc.BitBlt(m_rcPlace.left, m_rcPlace.top, m_rcPlace.Width(), m_rcPlace.Height(), &memDC, ptSource.x,
                  ptSource.y, SRCCOPY);
    }
    ::SetCursor(pApp->m_hHandCursor);
}
