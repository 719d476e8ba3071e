// CAuditionDlg: the modeless Audition mini-player. A page owns one and hands it one
// song at a time; MPEG songs play in its own MP3 control, the others in its own
// WAVE device.
#pragma once

#include "fw/Framework.h"

#include "Mp3Play.h"
#include "WaveDevice.h"

// What an audition needs of the page that owns it. The player lock stays the
// player window's business: the owner knows where it is.
class CAuditionOwner {
public:
    virtual ~CAuditionOwner() = default;
    // The owner's window: the audition's parent, which receives UM_AUDITIONCLOSED.
    virtual CWnd* GetAuditionParent() = 0;
    // Sets or clears the player lock of the player window.
    virtual void SetPlayerLock(BOOL bLocked) = 0;
};

class CAuditionDlg : public CDialog {
public:
    static constexpr int kTypeMpeg = 2;  // any other type plays as WAVE

    CAuditionDlg() = default;

    // Makes the window from its template with the owner's window as parent.
    BOOL Create(CAuditionOwner* pOwner);
    // Ends the current song when a type is given and starts this one; a playing MP3
    // song first has to report its end. The caller has set the player lock.
    void Load(LPCSTR lpszPath, int nType, int nSongNumber, long nLengthSeconds);
    // What a page does to audition a song: sets the lock, makes the window when it
    // does not exist and gives it the song. When the window cannot be made the lock
    // is cleared again and the result is FALSE.
    BOOL Audition(CAuditionOwner* pOwner, LPCSTR lpszPath, int nType, int nSongNumber, long nLengthSeconds);
    // The owner's handler of UM_AUDITIONCLOSED: destroys the window and clears the
    // lock. The notice the destruction itself sends finds no window and does nothing.
    void OnClosedNotice();

    CSliderCtrl m_slider;
    CMp3Play m_play;
    CAuditionOwner* m_pOwner = nullptr;
    BOOL m_bTimerRunning = FALSE;
    CWaveDevice m_waveDevice;
    BOOL m_bPendingStart = FALSE;
    BOOL m_bPlaying = FALSE;
    BOOL m_bPaused = FALSE;
    BOOL m_bDragging = FALSE;
    CString m_strPath;
    int m_nType = 0;
    int m_nSongNumber = 0;
    long m_nLength = 0;  // seconds

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnDestroy();
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    void OnPosition(long nFrame);
    void OnSongEnd();
    void OnControlError(long nCode, LPCSTR lpszText);
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    BOOL IsMpeg() const { return m_nType == kTypeMpeg; }
    // Ends the song in hand; TRUE when it was an MP3 song that was playing.
    BOOL EndCurrentSong();
    void ShowSong();
    void Start();
    BOOL StartMpeg();
    BOOL StartWave();
    // Plays from the second: TRUE when the device or control took the request.
    BOOL MoveTo(int nSecond);
    BOOL SeekMpeg(int nSecond);
    void StartTimer();
    void KillPositionTimer();
    void ShowElapsed(int nSeconds);
    void UpdateButtons();
    void ShowFailure(UINT nMessage);
    void PaintTimeLabels(CDC& dc);
    int TickX(int nTick) const;
    void NotifyOwner();
};
