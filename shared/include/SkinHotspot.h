// CSkinHotspot: one clickable, skin-painted area of a player window. Its normal face
// is the background bitmap at its place, its pressed and highlighted faces come from
// the face bitmap.
#pragma once

#include "fw/Framework.h"

#include "SkinLayout.h"

class CSkinHotspot {
public:
    enum State : UINT { kNormal = 0, kPressed = 1, kHighlighted = 2 };

    CSkinHotspot() = default;
    virtual ~CSkinHotspot() = default;
    CSkinHotspot(const CSkinHotspot&) = delete;
    CSkinHotspot& operator=(const CSkinHotspot&) = delete;

    // Takes id, rectangles and the hit-test region from a layout row.
    BOOL Init(const skin::Hotspot& layout);
    // Paints the new state when it differs from the current one; nothing without a DC.
    void Draw(CDC* pDC, UINT nState);
    BOOL HitTest(CPoint point) const { return m_rgn.PtInRegion(point); }

    UINT m_nId = 0;
    UINT m_nState = kNormal;
    CRgn m_rgn;
    CRect m_rcPressed;
    CRect m_rcHighlighted;
    CRect m_rcPlace;

private:
    void Paint(CDC& dc);
};
