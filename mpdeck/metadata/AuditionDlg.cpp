#include "AuditionDlg.h"

#include "SkinMessages.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/AuditionIds.h"

namespace {

constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionPeriodMs = 250;
constexpr int kSecondsPerMinute = 60;
constexpr long kMsPerSecond = 1000;

// The slider: one tick each half minute.
constexpr int kTickSeconds = 30;
constexpr int kLineSeconds = 15;
constexpr int kPageSeconds = 30;

// The time labels under the slider.
constexpr int kLabelFontHeight = -8;
constexpr COLORREF kLabelColour = RGB(0, 0, 100);
constexpr int kMaxTicksWithHalves = 10;  // more ticks: whole minutes only
constexpr int kLabelLeftOfTick = 10;
constexpr int kLengthRoomPixels = 100;   // the length label needs this much after the last one
constexpr int kLengthLeftOfEnd = 25;

CString MinutesSeconds(int nSeconds) {
    CString strText;
    strText.Format("%.2d:%.2d", nSeconds / kSecondsPerMinute, nSeconds % kSecondsPerMinute);
    return strText;
}

}  // namespace

BEGIN_MESSAGE_MAP(CAuditionDlg, CDialog)
    ON_BN_CLICKED(IDC_AUD_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_AUD_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_AUD_STOP, OnStop)
    ON_WM_HSCROLL()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CAuditionDlg, CDialog)
    ON_EVENT(CAuditionDlg, IDC_AUD_MP3_CONTROL, CMp3Play::kEventPosition, OnPosition, VTS_I4)
    ON_EVENT(CAuditionDlg, IDC_AUD_MP3_CONTROL, CMp3Play::kEventEnd, OnSongEnd, VTS_NONE)
    ON_EVENT(CAuditionDlg, IDC_AUD_MP3_CONTROL, CMp3Play::kEventError, OnControlError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

BOOL CAuditionDlg::Create(CAuditionOwner* pOwner) {
    m_pOwner = pOwner;
    m_bPendingStart = FALSE;
    m_bPlaying = FALSE;
    m_bPaused = FALSE;
    m_bDragging = FALSE;
    m_bTimerRunning = FALSE;
    return CDialog::Create(IDD_AUDITION, pOwner ? pOwner->GetAuditionParent() : nullptr);
}

BOOL CAuditionDlg::OnInitDialog() {
    m_slider.SubclassDlgItem(IDC_AUD_SLIDER, this);
    if (GetDlgItem(IDC_AUD_MP3_CONTROL)) m_play.SubclassDlgItem(IDC_AUD_MP3_CONTROL, this);
    m_waveDevice.m_pOwner = this;
    UpdateButtons();
    return TRUE;
}

BOOL CAuditionDlg::Audition(CAuditionOwner* pOwner, LPCSTR lpszPath, int nType, int nSongNumber,
                            long nLengthSeconds) {
    pOwner->SetPlayerLock(TRUE);
    const BOOL bExisted = GetSafeHwnd() != nullptr;
    if (!bExisted && !Create(pOwner)) {
        pOwner->SetPlayerLock(FALSE);
        return FALSE;
    }
    Load(lpszPath, nType, nSongNumber, nLengthSeconds);
    if (bExisted) SetFocus();
    return TRUE;
}

void CAuditionDlg::OnClosedNotice() {
    if (!GetSafeHwnd()) return;
    DestroyWindow();
    if (m_pOwner) m_pOwner->SetPlayerLock(FALSE);
}

void CAuditionDlg::Load(LPCSTR lpszPath, int nType, int nSongNumber, long nLengthSeconds) {
    BOOL bMpegWasPlaying = FALSE;
    if (nType != 0) bMpegWasPlaying = EndCurrentSong();
    m_bPaused = FALSE;
    m_bPlaying = FALSE;
    m_strPath = lpszPath;
    m_nType = nType;
    m_nSongNumber = nSongNumber;
    m_nLength = nLengthSeconds > 0 ? nLengthSeconds : 0;
    ShowSong();
    UpdateButtons();
    // The control's end event of the stopped song is still to come; starting now
    // would have it end the new one.
    if (bMpegWasPlaying) {
        m_bPendingStart = TRUE;
        return;
    }
    Start();
}

BOOL CAuditionDlg::EndCurrentSong() {
    if (!IsMpeg()) {
        m_waveDevice.Close();
        KillPositionTimer();
        return FALSE;
    }
    if (m_bPaused) m_play.Pause();
    BOOL bWasPlaying = FALSE;
    if (m_bPlaying) bWasPlaying = m_play.Stop() == 0;
    m_play.Close();
    return bWasPlaying;
}

void CAuditionDlg::ShowSong() {
    CString strNumber;
    strNumber.Format("%.3d", m_nSongNumber);
    SetDlgItemText(IDC_AUD_NUMBER, strNumber);
    SetDlgItemText(IDC_AUD_PATH, m_strPath);
    SetDlgItemText(IDC_AUD_LENGTH, MinutesSeconds(static_cast<int>(m_nLength)));
    // A new song starts at its beginning, whatever the last one reached.
    m_slider.SetRange(0, static_cast<int>(m_nLength));
    m_slider.SetPos(0);
    m_slider.SetTicFreq(kTickSeconds);
    m_slider.SetLineSize(kLineSeconds);
    m_slider.SetPageSize(kPageSeconds);
    ShowElapsed(0);
    Invalidate();
}

void CAuditionDlg::Start() {
    if (!(IsMpeg() ? StartMpeg() : StartWave())) return;
    m_bPlaying = TRUE;
    UpdateButtons();
}

BOOL CAuditionDlg::StartWave() {
    m_waveDevice.m_strPath = m_strPath;
    // Nothing of the closed song's plays is left to skip.
    m_waveDevice.m_bSkipNotify = FALSE;
    if (!m_waveDevice.Open()) {
        ShowFailure(IDS_OPEN_FAILED);
        return FALSE;
    }
    if (!m_waveDevice.Play()) {
        ShowFailure(IDS_PLAY_FAILED);
        return FALSE;
    }
    StartTimer();
    return TRUE;
}

BOOL CAuditionDlg::StartMpeg() {
    if (m_play.Open(m_strPath, "") != 0) {
        ShowFailure(IDS_OPEN_FAILED);
        return FALSE;
    }
    if (m_play.Play() != 0) {
        ShowFailure(IDS_PLAY_FAILED);
        return FALSE;
    }
    m_play.Seek(0);
    return TRUE;
}

void CAuditionDlg::OnPlay() {
    int nSecond = m_slider.GetPos();
    if (nSecond >= m_slider.GetRangeMax()) nSecond = 0;

    BOOL bStarted = FALSE;
    if (!IsMpeg()) {
        bStarted = m_waveDevice.Seek(nSecond / kSecondsPerMinute, nSecond % kSecondsPerMinute);
        // Nothing was playing to be cut off: no notification to skip.
        m_waveDevice.m_bSkipNotify = FALSE;
        if (bStarted) StartTimer();
    } else if (!m_bPaused) {
        if (m_play.Open(m_strPath, "") != 0) {
            ShowFailure(IDS_OPEN_FAILED);
            return;
        }
        bStarted = m_play.Play() == 0 && SeekMpeg(nSecond);
    } else {
        bStarted = m_play.Pause() == 0 && SeekMpeg(nSecond);
    }
    if (!bStarted) {
        OnStop();
        ShowFailure(IDS_PLAY_FAILED);
        return;
    }
    m_bPaused = FALSE;
    m_bPlaying = TRUE;
    UpdateButtons();
}

// A frame duration below 1 ms gives no divisor: the song stays where it is.
BOOL CAuditionDlg::SeekMpeg(int nSecond) {
    const long nFrame = CMp3Play::FrameForSecond(nSecond, m_play.GetFrameDuration());
    if (nFrame < 0) return TRUE;
    return m_play.Seek(nFrame) == 0;
}

void CAuditionDlg::OnPause() {
    if (IsMpeg())
        m_play.Pause();
    else
        m_waveDevice.Pause();
    m_bPaused = TRUE;
    UpdateButtons();
}

void CAuditionDlg::OnStop() {
    if (IsMpeg()) {
        m_play.Stop();
    } else {
        m_waveDevice.Stop();
        KillPositionTimer();
    }
    m_bPaused = FALSE;
    m_bPlaying = FALSE;
    UpdateButtons();
}

void CAuditionDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    if (!pScrollBar || pScrollBar->m_hWnd != m_slider.m_hWnd) return;
    if (nSBCode == TB_THUMBTRACK) ShowElapsed(static_cast<int>(nPos));
    if (nSBCode != TB_THUMBPOSITION && nSBCode != TB_ENDTRACK) {
        m_bDragging = TRUE;
        return;
    }
    m_bDragging = FALSE;
    const int nSecond = nSBCode == TB_THUMBPOSITION ? static_cast<int>(nPos) : m_slider.GetPos();
    // The move plays from there, so the song is playing afterwards whatever it was.
    if (MoveTo(nSecond)) m_bPlaying = TRUE;
    UpdateButtons();
}

BOOL CAuditionDlg::MoveTo(int nSecond) {
    if (!IsMpeg()) {
        // The play the seek cuts off still notifies: the skip flag stays set for it.
        if (!m_waveDevice.Seek(nSecond / kSecondsPerMinute, nSecond % kSecondsPerMinute)) return FALSE;
        m_bPaused = FALSE;
        StartTimer();
        return TRUE;
    }
    if (!m_bPaused && m_play.Play() != 0) return FALSE;
    return SeekMpeg(nSecond);
}

void CAuditionDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kPositionTimer || m_bDragging || !m_waveDevice.IsPlaying()) return;
    const int nSecond = static_cast<int>(m_waveDevice.Position());
    ShowElapsed(nSecond);
    m_slider.SetPos(nSecond);
}

void CAuditionDlg::OnPosition(long nFrame) {
    if (m_bDragging || m_play.GetFrames() == 0) return;
    const int nSecond = static_cast<int>(m_play.ElapsedSeconds(nFrame));
    ShowElapsed(nSecond);
    m_slider.SetPos(nSecond);
}

void CAuditionDlg::OnSongEnd() {
    m_bPaused = FALSE;
    m_bPlaying = FALSE;
    UpdateButtons();
    if (!m_bPendingStart) return;
    m_bPendingStart = FALSE;
    Start();
}

void CAuditionDlg::OnControlError(long, LPCSTR) {
    OnStop();
}

LRESULT CAuditionDlg::OnMciNotify(WPARAM wParam, LPARAM lParam) {
    // A song closed for the next one may still report; it ends nothing now.
    if (static_cast<MCIDEVICEID>(lParam) != m_waveDevice.m_wDeviceID) return 0;
    if (m_waveDevice.m_bSkipNotify) {
        m_waveDevice.m_bSkipNotify = FALSE;
        return 0;
    }
    if (wParam == MCI_NOTIFY_SUCCESSFUL) OnStop();
    return 0;
}

void CAuditionDlg::OnCancel() {
    if (m_waveDevice.IsPlaying() && m_bTimerRunning) KillPositionTimer();
    m_waveDevice.Close();
    m_play.Close();
    // A song waiting for the end event must not start in a closed audition.
    m_bPendingStart = FALSE;
    NotifyOwner();
}

void CAuditionDlg::OnDestroy() {
    KillPositionTimer();
    m_waveDevice.Close();
    m_bPendingStart = FALSE;
    m_bPlaying = FALSE;
    m_bPaused = FALSE;
    NotifyOwner();
    CDialog::OnDestroy();
}

void CAuditionDlg::NotifyOwner() {
    CWnd* pParent = m_pOwner ? m_pOwner->GetAuditionParent() : nullptr;
    if (pParent && pParent->GetSafeHwnd()) pParent->PostMessage(UM_AUDITIONCLOSED, 0, 0);
}

void CAuditionDlg::StartTimer() {
    if (m_bTimerRunning) return;
    m_bTimerRunning = SetTimer(kPositionTimer, kPositionPeriodMs) != 0;
}

void CAuditionDlg::KillPositionTimer() {
    if (!m_bTimerRunning) return;
    KillTimer(kPositionTimer);
    m_bTimerRunning = FALSE;
}

void CAuditionDlg::ShowElapsed(int nSeconds) {
    SetDlgItemText(IDC_AUD_ELAPSED, MinutesSeconds(nSeconds));
}

void CAuditionDlg::UpdateButtons() {
    const BOOL bPlayEnabled = !m_bPlaying || m_bPaused;
    const BOOL bPauseEnabled = m_bPlaying && !m_bPaused;
    GetDlgItem(IDC_AUD_PLAY)->EnableWindow(bPlayEnabled);
    GetDlgItem(IDC_AUD_PAUSE)->EnableWindow(bPauseEnabled);
    GetDlgItem(IDC_AUD_STOP)->EnableWindow(m_bPlaying);
    SendMessage(DM_SETDEFID, bPauseEnabled ? IDC_AUD_STOP : IDC_AUD_PLAY);
}

void CAuditionDlg::ShowFailure(UINT nMessage) {
    ShowMessage(this, nMessage, MB_OK | MB_ICONEXCLAMATION, m_strPath);
}

void CAuditionDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_slider.GetSafeHwnd()) PaintTimeLabels(dc);
}

void CAuditionDlg::PaintTimeLabels(CDC& dc) {
    CFont font;
    if (!font.CreateFont(kLabelFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH,
                         LoadText(IDS_AUDITION_FONT)))
        return;
    CSelectGuard selectFont(dc, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kLabelColour);

    CRect rcSlider;
    m_slider.GetWindowRect(&rcSlider);
    ScreenToClient(&rcSlider);
    const int nTicks = static_cast<int>(m_slider.GetNumTics());
    const BOOL bHalves = nTicks <= kMaxTicksWithHalves;
    int xLastLabel = -1;
    for (int nTick = 0; nTick < nTicks - 1; ++nTick) {
        const BOOL bHalf = nTick % 2 != 0;
        if (bHalf && !bHalves) continue;
        CString strLabel;
        strLabel.Format(bHalf ? "%d:30" : "%d:00", nTick / 2);
        xLastLabel = rcSlider.left + TickX(nTick);
        dc.TextOut(xLastLabel - kLabelLeftOfTick, rcSlider.bottom, strLabel);
    }
    if (xLastLabel < 0 || xLastLabel >= rcSlider.right - kLengthRoomPixels) return;
    CString strLength;
    strLength.Format("%d:%.2d", static_cast<int>(m_nLength / kSecondsPerMinute),
                     static_cast<int>(m_nLength % kSecondsPerMinute));
    dc.TextOut(rcSlider.right - kLengthLeftOfEnd, rcSlider.bottom, strLength);
}

// The slider reports the ticks between its first and last; the first lies as far
// before the second as the third lies after it, or under the thumb at position 0.
int CAuditionDlg::TickX(int nTick) const {
    if (nTick > 0) return m_slider.GetTicPos(nTick - 1);
    const int nSecond = m_slider.GetTicPos(0);
    const int nThird = m_slider.GetTicPos(1);
    if (nSecond >= 0 && nThird > nSecond) return 2 * nSecond - nThird;
    CRect rcChannel;
    CRect rcThumb;
    m_slider.GetChannelRect(&rcChannel);
    m_slider.GetThumbRect(&rcThumb);
    return rcChannel.left + rcThumb.Width() / 2;
}
