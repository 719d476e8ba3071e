#include "TrackStrip.h"

#include <new>

#include "LcdCanvas.h"

namespace {

using namespace skin::cdlcd;

constexpr int kSlotTextHeight = 9;

COLORREF SlotGrey() {
    return RGB(kSlotGreyRed, kSlotGreyGreen, kSlotGreyBlue);
}

CRect SlotRect(int nSlot) {
    const int left = kSlotLeft + kSlotPitch * nSlot;
    return CRect(left, kSlotTop, left + kSlotWidth, kSlotBottom);
}

}  // namespace

void CTrackSlot::Draw(CDC& dc, bool bHighlight) const {
    const bool bSelectedLook = (m_bSelected != FALSE) != bHighlight;
    CRect rc = m_rect;
    dc.FillSolidRect(&rc, bSelectedLook ? m_crSelectedBack : m_crBack);
    CString strNumber;
    strNumber.Format("%d", m_nTrack);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor(bSelectedLook ? m_crSelectedText : m_crText);
    dc.DrawText(strNumber, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
}

BOOL CTrackStrip::Build(int nTracks) {
    m_slots.clear();
    m_nTrackCount = 0;
    m_nFirst = 1;
    m_marks.assign(static_cast<size_t>(nTracks > 0 ? nTracks : 0), 0);
    for (int nSlot = 0; nSlot < m_nVisible; ++nSlot) {
        std::unique_ptr<CTrackSlot> pSlot(new (std::nothrow) CTrackSlot(nSlot + 1, SlotRect(nSlot)));
        if (!pSlot) return FALSE;
        pSlot->m_crText = LcdTextColor();
        pSlot->m_crBack = SlotGrey();
        pSlot->m_crSelectedText = SlotGrey();
        pSlot->m_crSelectedBack = LcdTextColor();
        m_slots.push_back(std::move(pSlot));
    }
    m_nTrackCount = static_cast<int>(m_marks.size());
    return TRUE;
}

void CTrackStrip::Reset() {
    m_marks.clear();
    m_nTrackCount = 0;
    m_nFirst = 1;
    Renumber();
}

void CTrackStrip::Renumber() {
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const int nTrack = m_nFirst + static_cast<int>(i);
        m_slots[i]->m_nTrack = nTrack;
        m_slots[i]->m_bSelected = IsMarked(nTrack);
    }
}

BOOL CTrackStrip::IsMarked(int nTrack) const {
    if (nTrack < 1 || nTrack > static_cast<int>(m_marks.size())) return FALSE;
    return m_marks[static_cast<size_t>(nTrack - 1)] ? TRUE : FALSE;
}

void CTrackStrip::SetMark(int nTrack, BOOL bOn) {
    if (nTrack < 1 || nTrack > static_cast<int>(m_marks.size())) return;
    m_marks[static_cast<size_t>(nTrack - 1)] = bOn ? 1 : 0;
    // The slot that shows the track now, which is slot t - 1 only on the first page.
    const int nSlot = nTrack - m_nFirst;
    if (nSlot >= 0 && nSlot < static_cast<int>(m_slots.size())) m_slots[static_cast<size_t>(nSlot)]->m_bSelected = bOn ? TRUE : FALSE;
}

int CTrackStrip::HitTest(CPoint point) const {
    for (const auto& pSlot : m_slots) {
        if (pSlot->m_rect.PtInRect(point)) return pSlot->m_nTrack;
    }
    return 0;
}

int CTrackStrip::SlotTrack(int nSlot) const {
    if (nSlot < 0 || nSlot >= static_cast<int>(m_slots.size())) return 0;
    return m_slots[static_cast<size_t>(nSlot)]->m_nTrack;
}

void CTrackStrip::ScrollTo(int nFirst) {
    if (nFirst == m_nFirst) return;
    m_nFirst = nFirst;
    Renumber();
}

void CTrackStrip::ScrollLeft() {
    if (!CanScrollLeft()) return;
    ScrollTo(m_nFirst - 1);
    Draw();
}

void CTrackStrip::ScrollRight() {
    if (!CanScrollRight()) return;
    ScrollTo(m_nFirst + 1);
    Draw();
}

BOOL CTrackStrip::PressArrow(CPoint point) {
    if (InLeftArrow(point)) {
        ScrollLeft();
        return TRUE;
    }
    if (InRightArrow(point)) {
        ScrollRight();
        return TRUE;
    }
    return FALSE;
}

void CTrackStrip::Blink(CDC* pDC, int nTrack, int nPhase, CDC* pSharedFace) {
    const int nLastFirst = m_nTrackCount - m_nVisible + 1 > 1 ? m_nTrackCount - m_nVisible + 1 : 1;
    int nFirst = m_nFirst;
    if (nTrack < nFirst) nFirst = nTrack < 1 ? 1 : nTrack;
    if (nTrack > nFirst + m_nVisible - 1) nFirst = nTrack - m_nVisible + 1 < nLastFirst ? nTrack - m_nVisible + 1 : nLastFirst;
    // The slots need no face bitmap; a redraw of the whole strip brings its own.
    CLcdCanvas canvas(m_pWnd, pDC, nullptr, true);
    if (!canvas.HasDc()) return;
    if (nFirst != m_nFirst) {
        ScrollTo(nFirst);
        Draw(&canvas.Dc(), pSharedFace);
    }
    const int nSlot = nTrack - m_nFirst;
    if (nSlot < 0 || nSlot >= static_cast<int>(m_slots.size())) return;
    CFont font;
    if (!CreateLcdFont(font, kSlotTextHeight, FW_NORMAL)) return;
    CSelectGuard select(canvas.Dc(), font);
    m_slots[static_cast<size_t>(nSlot)]->Draw(canvas.Dc(), nPhase != 0);
}

void CTrackStrip::Draw(CDC* pDC, CDC* pSharedFace) {
    CLcdCanvas canvas(m_pWnd, pDC, pSharedFace);
    if (!canvas.Valid()) return;
    CFont font;
    if (CreateLcdFont(font, kSlotTextHeight, FW_NORMAL)) {
        CSelectGuard select(canvas.Dc(), font);
        for (const auto& pSlot : m_slots) pSlot->Draw(canvas.Dc(), false);
    }
    canvas.Face(skin::kStripLeftArrow, m_rcLeftArrow.left, m_rcLeftArrow.top);
    canvas.Face(skin::kStripRightArrow, m_rcRightArrow.left, m_rcRightArrow.top);
}
