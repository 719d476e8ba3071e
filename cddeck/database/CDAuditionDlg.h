// CCDAuditionDlg: plays one track of the disc through a CD-audio device of its own,
// with a position slider, while the playlist page waits under it. It plays from its
// own copy of the track record, so a change of the disc model cannot reach it.
#pragma once

#include "fw/Framework.h"

#include <mmsystem.h>

#include "CDTrack.h"
#include "cddeck/PlaylistIds.h"

// The page under the dialog: it hears when the track starts playing, and gets
// UM_AUDITIONCLOSED posted when the audition has ended.
class CCDAuditionOwner {
public:
    virtual ~CCDAuditionOwner() = default;
    virtual CWnd* GetAuditionPage() = 0;
    virtual void OnAuditionPlaying() = 0;
};

class CCDAuditionDlg : public CDialog {
public:
    enum { IDD = IDD_CD_AUDITION };
    enum Timer : UINT_PTR { kTimerPosition = 1 };
    static constexpr UINT kPositionMs = 250;
    static constexpr int kTickSeconds = 30;
    static constexpr int kLineSeconds = 15;
    static constexpr int kPageSeconds = 30;
    static constexpr int kPlaceShift = 6;  // into the page's list frame

    CCDAuditionDlg(const CCDTrack& track, CCDAuditionOwner* pOwner);
    ~CCDAuditionDlg() override;

    BOOL Open();
    // Over the frame (screen coordinates), a little inside its top-left corner.
    void PlaceOver(const CRect& rcFrame);
    // Stops and closes the device once; the page hears of it by a posted message.
    void End();

    BOOL IsDeviceOpen() const { return m_nDeviceId != 0; }
    int TrackNumber() const { return m_track.GetTrackNumber(); }

    CSliderCtrl m_slider;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { End(); }
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    void OnPlay();
    void OnPause();
    void OnStop() { End(); }

    DECLARE_MESSAGE_MAP()

private:
    BOOL OpenDevice();
    BOOL PlayFrom(int nSeconds);
    void CloseDevice();
    void ShowPosition();
    void PaintMinutes(CDC& dc);
    void EnableItem(UINT nId, BOOL bEnable);

    CCDTrack m_track;
    CCDAuditionOwner* m_pOwner;
    MCIDEVICEID m_nDeviceId = 0;
    int m_bDragging = 0;
    int m_bEnded = 0;
};
