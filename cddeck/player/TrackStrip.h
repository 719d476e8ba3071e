// CTrackStrip: the CD panel's row of 16 track numbers. It marks the tracks of the
// selection, pages through discs of more than 16 tracks one track at a time, blinks
// the playing track and tells which track a point lies on.
#pragma once

#include "fw/Framework.h"

#include <memory>
#include <vector>

#include "SkinLayout.h"

// One place of the strip: the number it shows and its look.
class CTrackSlot {
public:
    CTrackSlot(int nTrack, const CRect& rc) : m_nTrack(nTrack), m_rect(rc) {}
    virtual ~CTrackSlot() = default;

    // bHighlight draws the other look, which is how the playing track blinks.
    void Draw(CDC& dc, bool bHighlight) const;

    int m_nTrack;
    BOOL m_bSelected = FALSE;
    CRect m_rect;
    COLORREF m_crText;
    COLORREF m_crBack;
    COLORREF m_crSelectedText;
    COLORREF m_crSelectedBack;
};

class CTrackStrip {
public:
    CTrackStrip() = default;
    virtual ~CTrackStrip() = default;
    CTrackStrip(const CTrackStrip&) = delete;
    CTrackStrip& operator=(const CTrackStrip&) = delete;

    // Drawing without a DC goes to this window's own.
    void SetWindow(CWnd* pWnd) { m_pWnd = pWnd; }

    // Slots for tracks 1..16 and nTracks unmarked tracks; FALSE when a slot cannot be made.
    BOOL Build(int nTracks);
    // No tracks; the slots show 1..16 unmarked.
    void Reset();
    // Marks track nTrack (1-based) as in the selection or not; its slot follows when shown.
    void SetMark(int nTrack, BOOL bOn);
    BOOL IsMarked(int nTrack) const;

    // The number shown under the point, 0 when none. It may lie beyond the disc.
    int HitTest(CPoint point) const;
    BOOL InLeftArrow(CPoint point) const { return m_rcLeftArrow.PtInRect(point); }
    BOOL InRightArrow(CPoint point) const { return m_rcRightArrow.PtInRect(point); }
    BOOL CanScrollLeft() const { return m_nFirst > 1; }
    BOOL CanScrollRight() const { return m_nTrackCount - m_nFirst > m_nVisible - 1; }
    // Each moves by one track and redraws when it can; otherwise nothing happens.
    void ScrollLeft();
    void ScrollRight();
    // A press on an arrow that can scroll scrolls; TRUE when the point is on an arrow.
    BOOL PressArrow(CPoint point);

    // Brings the track into view, then draws its slot in the normal (phase 0) or the
    // highlighted (phase 1) look.
    void Blink(CDC* pDC, int nTrack, int nPhase, CDC* pSharedFace = nullptr);
    // Every slot, then the arrows; pSharedFace holds the face bitmap when given.
    void Draw(CDC* pDC = nullptr, CDC* pSharedFace = nullptr);

    int GetTrackCount() const { return m_nTrackCount; }
    int GetFirstTrack() const { return m_nFirst; }
    // The number slot nSlot shows, 0 when there is no such slot.
    int SlotTrack(int nSlot) const;

private:
    void Renumber();
    void ScrollTo(int nFirst);

    int m_nVisible = skin::cdlcd::kSlotCount;
    int m_nTrackCount = 0;
    int m_nFirst = 1;
    std::vector<BYTE> m_marks;
    std::vector<std::unique_ptr<CTrackSlot>> m_slots;
    CRect m_rcLeftArrow{skin::cdlcd::kLeftArrowPlace.left, skin::cdlcd::kLeftArrowPlace.top,
                        skin::cdlcd::kLeftArrowPlace.right, skin::cdlcd::kLeftArrowPlace.bottom};
    CRect m_rcRightArrow{skin::cdlcd::kRightArrowPlace.left, skin::cdlcd::kRightArrowPlace.top,
                         skin::cdlcd::kRightArrowPlace.right, skin::cdlcd::kRightArrowPlace.bottom};
    CWnd* m_pWnd = nullptr;
};
