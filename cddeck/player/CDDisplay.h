// CCDDisplay: the CD player's LCD panel, owned by the player window. It is the panel
// state the device reads and sets, drawn field by field straight onto the window from
// the skin bitmaps, with the track strip below the title.
#pragma once

#include "fw/Framework.h"

#include "CDDevice.h"
#include "TrackStrip.h"

class CLcdCanvas;

class CCDDisplay : public CCDPanelState {
public:
    enum Indicator { kIndicatorPlay = 1, kIndicatorPause = 2, kIndicatorForward = 3, kIndicatorRewind = 4 };
    static constexpr int kMaxVolumeLevel = 15;

    explicit CCDDisplay(CWnd* pWnd);
    virtual ~CCDDisplay() = default;
    CCDDisplay(const CCDDisplay&) = delete;
    CCDDisplay& operator=(const CCDDisplay&) = delete;

    // The panel state and the strip as for an empty drive.
    void Reset();

    // Each operation draws on pDC, or on the window's own DC when none is given.
    void RedrawAll(CDC* pDC = nullptr);
    void DrawTitle(CDC* pDC = nullptr);
    void DrawArtist(CDC* pDC = nullptr);
    void DrawTrackNumber(CDC* pDC = nullptr);
    void DrawElapsed(CDC* pDC = nullptr);
    void DrawLength(CDC* pDC = nullptr);
    void DrawMode(CDC* pDC = nullptr);
    void DrawIndicator(int nIndicator, CDC* pDC = nullptr);
    // Text nTextId in the title area and strDetail in the artist's; 0 leaves the
    // areas to title and artist.
    void ShowMessage(int nTextId, const CString& strDetail = CString(), CDC* pDC = nullptr);
    // Level 0..15 over the mode field until HideVolume; redraws keep it there.
    void ShowVolume(int nLevel, CDC* pDC = nullptr);
    void HideVolume();
    BOOL IsVolumeShown() const { return m_bVolumeShown; }

    CRect m_rcTitle;
    CRect m_rcArtist;
    CTrackStrip m_strip;
    CDC* m_pMemDC = nullptr;  // the face bitmap during a full redraw
    CWnd* m_pWnd;

private:
    void DrawLabels(CDC& dc);
    void DrawVolume(CDC* pDC);

    void DrawMessage(CLcdCanvas& canvas);

    CString m_strMessageDetail;
    BOOL m_bVolumeShown = FALSE;
    int m_nVolumeLevel = 0;
};
