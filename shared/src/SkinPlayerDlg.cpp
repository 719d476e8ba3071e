#include "SkinPlayerDlg.h"

#include "SkinApp.h"
#include "SkinMessages.h"

BEGIN_MESSAGE_MAP(CSkinPlayerDlg, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CSkinPlayerDlg::~CSkinPlayerDlg() {
    DeleteHotspots();
}

void CSkinPlayerDlg::DeleteHotspots() {
    for (CSkinHotspot* pHotspot : m_hotspots) delete pHotspot;
    m_hotspots.clear();
    m_nPressedHotspot = 0;
    m_nHoverHotspot = 0;
}

void CSkinPlayerDlg::CreateToolTip() {
    if (!m_tooltip.m_hWnd) m_tooltip.Create(this);
}

CSkinHotspot* CSkinPlayerDlg::AddHotspot(const skin::Hotspot& layout, UINT nTipId) {
    CSkinHotspot* pHotspot = new CSkinHotspot;
    pHotspot->Init(layout);
    m_hotspots.push_back(pHotspot);
    CString strTip;
    if (m_tooltip.m_hWnd && GetSkinApp()->LoadResString(strTip, nTipId)) {
        CRect rcBox;
        pHotspot->m_rgn.GetRgnBox(&rcBox);
        m_tooltip.AddTool(this, strTip, &rcBox, pHotspot->m_nId);
    }
    return pHotspot;
}

void CSkinPlayerDlg::CreateHotspots(const HotspotTip* pTips, size_t nCount) {
    CreateToolTip();
    for (size_t i = 0; i < nCount; ++i) {
        if (const skin::Hotspot* pLayout = skin::FindLayout(pTips[i].nId)) AddHotspot(*pLayout, pTips[i].nTipId);
    }
    if (m_tooltip.m_hWnd) m_tooltip.Activate(TRUE);
}

CSkinHotspot* CSkinPlayerDlg::HitTest(CPoint point) const {
    for (CSkinHotspot* pHotspot : m_hotspots) {
        if (pHotspot->HitTest(point)) return pHotspot;
    }
    return nullptr;
}

CSkinHotspot* CSkinPlayerDlg::FindHotspot(UINT nId) const {
    for (CSkinHotspot* pHotspot : m_hotspots) {
        if (pHotspot->m_nId == nId) return pHotspot;
    }
    return nullptr;
}

void CSkinPlayerDlg::DrawHotspot(CSkinHotspot* pHotspot, UINT nState) {
    if (!pHotspot || !m_hWnd) return;
    CClientDC dc(this);
    pHotspot->Draw(&dc, nState);
}

BOOL CSkinPlayerDlg::ReadPlayedPeaks(short&, short&) {
    return FALSE;
}

void CSkinPlayerDlg::OnHotspotPressed(UINT) {}

BOOL CSkinPlayerDlg::OnHotspotReleased(UINT) {
    return FALSE;
}

void CSkinPlayerDlg::OnLButtonDown(UINT, CPoint point) {
    if (CSkinHotspot* pHotspot = HitTest(point)) {
        m_nPressedHotspot = pHotspot->m_nId;
        DrawHotspot(pHotspot, CSkinHotspot::kPressed);
        OnHotspotPressed(pHotspot->m_nId);
        return;
    }
    SetCapture();
    m_bDragging = TRUE;
    m_ptDragOrigin = point;
}

// The dialog class asks for double clicks; on a skin every press counts, so the
// second press of a quick pair goes where the first went, to the most derived window.
void CSkinPlayerDlg::OnLButtonDblClk(UINT nFlags, CPoint point) {
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CSkinPlayerDlg::MoveByDrag(CPoint point) {
    ClientToScreen(&point);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    MoveWindow(point.x - m_ptDragOrigin.x, point.y - m_ptDragOrigin.y, rcWindow.Width(), rcWindow.Height(), TRUE);
}

void CSkinPlayerDlg::OnMouseMove(UINT nFlags, CPoint point) {
    if ((nFlags & MK_LBUTTON) && m_bDragging) {
        MoveByDrag(point);
        return;
    }
    CSkinHotspot* pHotspot = HitTest(point);
    const UINT nId = pHotspot ? pHotspot->m_nId : 0;
    if (nId == m_nHoverHotspot) {
        ::SetCursor(GetSkinApp()->m_hHandCursor);
        return;
    }
    DrawHotspot(FindHotspot(m_nHoverHotspot), CSkinHotspot::kNormal);
    DrawHotspot(pHotspot, CSkinHotspot::kHighlighted);
    m_nHoverHotspot = nId;
}

void CSkinPlayerDlg::OnLButtonUp(UINT, CPoint point) {
    if (!m_nPressedHotspot) {
        if (!m_bDragging) return;
        m_bDragging = FALSE;
        ReleaseCapture();
        MoveByDrag(point);
        return;
    }
    const UINT nPressed = m_nPressedHotspot;
    const BOOL bNoClick = OnHotspotReleased(nPressed);
    CSkinHotspot* pUnder = HitTest(point);
    DrawHotspot(pUnder, CSkinHotspot::kNormal);
    // A release away from the pressed hotspot leaves no pressed face behind.
    if (!pUnder || pUnder->m_nId != nPressed) {
        DrawHotspot(FindHotspot(nPressed), CSkinHotspot::kNormal);
        m_nPressedHotspot = 0;
        return;
    }
    m_nPressedHotspot = 0;
    if (!bNoClick) PostMessage(UM_HOTSPOTCLICK, nPressed);
}

void CSkinPlayerDlg::OnDestroy() {
    DeleteHotspots();
    Default();
}
