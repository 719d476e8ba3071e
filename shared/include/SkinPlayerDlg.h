// CSkinPlayerDlg: the mouse machinery both player windows share. It owns the
// hotspots (in hit-test order) and their tooltips; a press and release on the same
// hotspot posts UM_HOTSPOTCLICK, a press outside every hotspot drags the window.
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "SkinControls.h"
#include "SkinHotspot.h"
#include "SkinLayout.h"

class CSkinPlayerDlg : public CDialog {
public:
    // A player's hotspot with the string id of its tip.
    struct HotspotTip {
        UINT nId;
        UINT nTipId;
    };

    CSkinPlayerDlg() = default;
    ~CSkinPlayerDlg() override;

    // The first hotspot whose region holds the point, or nullptr.
    CSkinHotspot* HitTest(CPoint point) const;
    CSkinHotspot* FindHotspot(UINT nId) const;
    // Draws one hotspot in a state on the window's DC.
    void DrawHotspot(CSkinHotspot* pHotspot, UINT nState);
    const std::vector<CSkinHotspot*>& Hotspots() const { return m_hotspots; }

    // What the level meter asks of its window: whether a song is playing, and, where the
    // mixer has no peak meter, the peaks of what is played (signed 16-bit range).
    virtual BOOL IsSongPlaying() const { return FALSE; }
    virtual BOOL ReadPlayedPeaks(short& nLeft, short& nRight);

    CSkinToolTip m_tooltip;
    UINT m_nPressedHotspot = 0;
    BOOL m_bDragging = FALSE;
    CPoint m_ptDragOrigin;
    UINT m_nHoverHotspot = 0;

protected:
    // Appends one hotspot and registers its tip when the string exists.
    CSkinHotspot* AddHotspot(const skin::Hotspot& layout, UINT nTipId);
    // Creates the tooltip, then the table's hotspots in its order, which is the hit-test order.
    void CreateHotspots(const HotspotTip* pTips, size_t nCount);
    template <size_t N>
    void CreateHotspots(const HotspotTip (&tips)[N]) {
        CreateHotspots(tips, N);
    }
    void CreateToolTip();
    void DeleteHotspots();

    // Hooks of the derived window around a press and its release.
    virtual void OnHotspotPressed(UINT nId);
    // TRUE when the release ends something else (a hold) and so is no click.
    virtual BOOL OnHotspotReleased(UINT nId);

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnDestroy();

private:
    void MoveByDrag(CPoint point);

    std::vector<CSkinHotspot*> m_hotspots;

    DECLARE_MESSAGE_MAP()
};
