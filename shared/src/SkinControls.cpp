#include "SkinControls.h"

#include "SkinApp.h"
#include "ResourceIds.h"
#include "SkinMessages.h"
#include "SkinText.h"

BOOL CSkinToolTip::AddTool(CWnd* pOwner, LPCSTR lpszText, LPCRECT lpRect, UINT nId) {
    if (!pOwner || !m_hWnd) return FALSE;
    TOOLINFOA ti = {};
    ti.cbSize = kToolInfoSize;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = pOwner->m_hWnd;
    ti.uId = nId;
    if (lpRect) ti.rect = *lpRect;
    ti.hinst = AfxGetInstanceHandle();
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CSkinApp* pApp = GetSkinApp();
    CDC dc;
    dc.Attach(lpDrawItemStruct->hDC);
    const CRect rc(lpDrawItemStruct->rcItem);
    const BOOL bSelected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    CPoint ptSource = m_ptNormal;
    if ((lpDrawItemStruct->itemState & ODS_DISABLED) && m_ptDisabled.x != kNoDisabledImage) ptSource = m_ptDisabled;
    CDC memDC;
    if (memDC.CreateCompatibleDC(&dc)) {
        HPALETTE hPalette = static_cast<HPALETTE>(pApp->m_palPage.GetSafeHandle());
        CPaletteGuard itemPalette(dc, hPalette, FALSE);
        CPaletteGuard memPalette(memDC, hPalette, FALSE);
        CSelectGuard bitmap(memDC, pApp->m_bmpPage);
        const int nShift = bSelected && m_bPressShift ? 1 : 0;
        dc.BitBlt(rc.left + nShift, rc.top + nShift, rc.Width(), rc.Height(), &memDC, ptSource.x, ptSource.y,
                  SRCCOPY);
        DrawFrame(dc, rc, bSelected);
    }
    dc.Detach();
}

namespace {

const COLORREF kFrameGrey = RGB(128, 128, 128);

// Two strokes: up the left edge and along the top, or down the right and back along the bottom.
void Stroke(CDC& dc, COLORREF cr, POINT a, POINT b, POINT c) {
    CPen pen(PS_SOLID, 1, cr);
    CSelectGuard select(dc, pen);
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
    dc.LineTo(c.x, c.y);
}

}  // namespace

void CSkinButton::DrawFrame(CDC& dc, const CRect& rc, BOOL bSelected) {
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    if (m_nLook == kLookRaised && m_bHoverFrame) {
        Stroke(dc, RGB(255, 255, 255), {l, b}, {l, t}, {r, t});
        Stroke(dc, RGB(0, 0, 0), {r - 1, t + 1}, {r - 1, b - 1}, {l + 1, b - 1});
        Stroke(dc, kFrameGrey, {r - 2, t + 2}, {r - 2, b - 2}, {l + 2, b - 2});
    } else if (bSelected && m_bPressShift) {
        Stroke(dc, kFrameGrey, {l, b}, {l, t}, {r, t});
        Stroke(dc, RGB(255, 255, 255), {r - 1, t + 1}, {r - 1, b - 1}, {l + 1, b - 1});
    }
}

void CSkinButton::OnMouseMove(UINT nFlags, CPoint point) {
    if (!(nFlags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        ::SetCursor(GetSkinApp()->m_hHandCursor);
        CWnd* pParent = GetParent();
        if (point.x > 0 && point.y > 0 && m_bHoverFrame && pParent) {
            pParent->SendMessage(UM_BUTTONHOVER, GetDlgCtrlID());
        }
    }
    Default();
}

void CSkinButton::OnLButtonDown(UINT, CPoint) {
    ::SetCursor(GetSkinApp()->m_hHandCursor);
    m_nLook = kLookFlat;
    Default();
}

// An owner-drawn button answers the second press of a quick pair with a double-click
// notice and no click; as a press it clicks like the first.
void CSkinButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CSkinButton::OnRButtonDown(UINT, CPoint) {
    ::SetCursor(GetSkinApp()->m_hHandCursor);
    m_nLook = kLookFlat;
    if (CWnd* pParent = GetParent()) pParent->SendMessage(UM_BUTTONRCLICK, GetDlgCtrlID());
    Default();
}

BEGIN_MESSAGE_MAP(CSkinListCtrl, CListCtrl)
    ON_WM_DROPFILES()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

LPARAM PackPoint(CPoint point) {
    return MAKELPARAM(point.x, point.y);
}

}  // namespace

void CSkinListCtrl::OnDropFiles(HDROP hDropInfo) {
    if (CWnd* pParent = GetParent()) pParent->SendMessage(UM_LISTDROPFILES, reinterpret_cast<WPARAM>(hDropInfo));
    Default();
}

void CSkinListCtrl::OnLButtonUp(UINT, CPoint point) {
    if (CWnd* pParent = GetParent()) pParent->SendMessage(UM_LISTMOUSE, kMouseUp, PackPoint(point));
    Default();
}

void CSkinListCtrl::OnMouseMove(UINT nFlags, CPoint point) {
    CWnd* pParent = GetParent();
    if ((nFlags & MK_LBUTTON) && pParent) pParent->SendMessage(UM_LISTMOUSE, kMouseDrag, PackPoint(point));
    Default();
}

void CSkinListCtrl::OnLButtonDblClk(UINT, CPoint point) {
    CWnd* pParent = GetParent();
    const int nCount = GetItemCount();
    for (int i = 0; i < nCount && pParent; ++i) {
        CRect rcItem;
        if (GetItemRect(i, &rcItem, LVIR_BOUNDS) && ::PtInRect(&rcItem, point)) {
            pParent->SendMessage(UM_LISTMOUSE, kMouseDoubleClick, i);
            break;
        }
    }
    Default();
}

UINT ToolTipControlId(const NMHDR* pHdr) {
    const auto* pInfo = reinterpret_cast<const NMTTDISPINFOA*>(pHdr);
    if (!(pInfo->uFlags & TTF_IDISHWND)) return 0;
    return static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pHdr->idFrom)));
}

void AnswerToolTip(NMHDR* pHdr, UINT nText, CString& strTip) {
    strTip = LoadText(nText);
    reinterpret_cast<NMTTDISPINFOA*>(pHdr)->lpszText = const_cast<LPSTR>(strTip.GetString());
}

BOOL CSkinButtonSet::Attach(CWnd* pPage, const SkinButtonPlace* pPlaces, int nCount) {
    BOOL bAll = TRUE;
    for (int i = 0; i < nCount; ++i) {
        const SkinButtonPlace& place = pPlaces[i];
        auto pButton = std::make_unique<CSkinButton>();
        if (!pButton->SubclassDlgItem(place.nId, pPage)) {
            bAll = FALSE;
            continue;
        }
        pButton->m_bHoverFrame = TRUE;
        pButton->m_bPressShift = TRUE;
        pButton->m_ptNormal = CPoint(place.ptNormal.x, place.ptNormal.y);
        pButton->m_ptDisabled = CPoint(place.ptDisabled.x, place.ptDisabled.y);
        pButton->MoveWindow(place.x, place.y, place.cx, place.cy);
        m_buttons.push_back(std::move(pButton));
    }
    return bAll;
}

CSkinButton* CSkinButtonSet::Find(UINT nId) {
    for (auto& pButton : m_buttons) {
        if (static_cast<UINT>(pButton->GetDlgCtrlID()) == nId) return pButton.get();
    }
    return nullptr;
}

void CSkinButtonSet::OnButtonHover(UINT nId) {
    if (nId == m_nHotId) return;
    SetLook(m_nHotId, CSkinButton::kLookFlat);
    m_nHotId = nId;
    SetLook(m_nHotId, CSkinButton::kLookRaised);
}

void CSkinButtonSet::SetLook(UINT nId, int nLook) {
    CSkinButton* pButton = nId ? Find(nId) : nullptr;
    if (!pButton) return;
    pButton->m_nLook = nLook;
    pButton->Invalidate(FALSE);
}

// ---- check images of the track lists ---------------------------------------------

BOOL CreateListCheckImages(CImageList& images) {
    constexpr int kIconSize = 16;
    constexpr int kImageCount = 2;
    if (!images.Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, kImageCount, 0)) return FALSE;
    // In image order: unchecked first.
    for (UINT nIcon : {IDI_LIST_UNCHECKED, IDI_LIST_CHECKED}) {
        HICON hIcon = static_cast<HICON>(
            ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIcon), IMAGE_ICON, kIconSize, kIconSize, 0));
        const int nIndex = hIcon ? images.Add(hIcon) : -1;
        if (hIcon) ::DestroyIcon(hIcon);
        if (nIndex < 0) return FALSE;
    }
    return TRUE;
}
