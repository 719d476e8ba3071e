#include "CDAuditionDlg.h"

#include "DiscRules.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kTicksPerMinute = kSecondsPerMinute / CCDAuditionDlg::kTickSeconds;
constexpr int kLabelPoints = 80;  // tenths of a point
constexpr char kLabelFace[] = "MS Sans Serif";
constexpr COLORREF kLabelColour = RGB(0, 0, 100);
constexpr int kLabelLeftOfTick = 3;

DWORD_PTR Parms(void* pParms) {
    return reinterpret_cast<DWORD_PTR>(pParms);
}

}  // namespace

BEGIN_MESSAGE_MAP(CCDAuditionDlg, CDialog)
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_HSCROLL()
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
    ON_BN_CLICKED(IDC_CDAU_PLAY, OnPlay)
    ON_BN_CLICKED(IDC_CDAU_PAUSE, OnPause)
    ON_BN_CLICKED(IDC_CDAU_STOP, OnStop)
END_MESSAGE_MAP()

CCDAuditionDlg::CCDAuditionDlg(const CCDTrack& track, CCDAuditionOwner* pOwner) : m_track(track), m_pOwner(pOwner) {}

CCDAuditionDlg::~CCDAuditionDlg() {
    CloseDevice();
}

BOOL CCDAuditionDlg::Open() {
    return Create(IDD, m_pOwner ? m_pOwner->GetAuditionPage() : nullptr);
}

void CCDAuditionDlg::PlaceOver(const CRect& rcFrame) {
    ::SetWindowPos(m_hWnd, nullptr, rcFrame.left + kPlaceShift, rcFrame.top + kPlaceShift, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CCDAuditionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_slider.SubclassDlgItem(IDC_CDAU_SLIDER, this);
    CString strText;
    strText.Format("%.2d", m_track.GetTrackNumber());
    SetDlgItemText(IDC_CDAU_TRACK, strText);
    SetDlgItemText(IDC_CDAU_TITLE, m_track.GetTitle());
    strText.Format("%.2d:%.2d", m_track.GetMinutes(), m_track.GetSeconds());
    SetDlgItemText(IDC_CDAU_LENGTH, strText);
    m_slider.SetTicFreq(kTickSeconds);
    m_slider.SetLineSize(kLineSeconds);
    m_slider.SetPageSize(kPageSeconds);
    m_slider.SetRange(0, m_track.GetLengthInSeconds(), TRUE);

    if (!OpenDevice()) {
        ShowMessage(this, IDS_CD_DEVICE_FAILED, MB_ICONEXCLAMATION);
        End();
        return TRUE;
    }
    if (!PlayFrom(0)) {
        CloseDevice();
        ShowMessage(this, IDS_CD_PLAY_FAILED, MB_ICONEXCLAMATION);
        End();
        return TRUE;
    }
    SetTimer(kTimerPosition, kPositionMs, nullptr);
    if (m_pOwner) m_pOwner->OnAuditionPlaying();
    return TRUE;
}

void CCDAuditionDlg::OnDestroy() {
    // Destroyed with the sheet or the program: the drive is given back all the same.
    KillTimer(kTimerPosition);
    CloseDevice();
    CDialog::OnDestroy();
}

// ---- the device ----------------------------------------------------------------

BOOL CCDAuditionDlg::OpenDevice() {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, Parms(&open))) return FALSE;
    m_nDeviceId = open.wDeviceID;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    mciSendCommandA(m_nDeviceId, MCI_SET, MCI_SET_TIME_FORMAT, Parms(&set));
    return TRUE;
}

BOOL CCDAuditionDlg::PlayFrom(int nSeconds) {
    if (!m_nDeviceId) return FALSE;
    const int nTrack = m_track.GetTrackNumber();
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(m_hWnd);
    play.dwFrom = cddisc::PackTmsf(nTrack, nSeconds / kSecondsPerMinute, nSeconds % kSecondsPerMinute, 0);
    // To the track's last frame, not its last whole second.
    play.dwTo = cddisc::PackTmsf(nTrack, m_track.GetMinutes(), m_track.GetSeconds(), m_track.GetFrames());
    return mciSendCommandA(m_nDeviceId, MCI_PLAY, MCI_FROM | MCI_TO | MCI_NOTIFY, Parms(&play)) == 0;
}

void CCDAuditionDlg::CloseDevice() {
    if (!m_nDeviceId) return;
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandA(m_nDeviceId, MCI_STOP, MCI_WAIT, Parms(&parms));
    mciSendCommandA(m_nDeviceId, MCI_CLOSE, MCI_WAIT, Parms(&parms));
    m_nDeviceId = 0;
}

void CCDAuditionDlg::End() {
    if (m_bEnded) return;
    m_bEnded = 1;
    if (m_hWnd) KillTimer(kTimerPosition);
    CloseDevice();
    if (CWnd* pPage = m_pOwner ? m_pOwner->GetAuditionPage() : nullptr)
        if (pPage->m_hWnd) pPage->PostMessage(UM_AUDITIONCLOSED);
}

// ---- messages ------------------------------------------------------------------

void CCDAuditionDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kTimerPosition || m_bDragging || !m_nDeviceId) return;
    ShowPosition();
}

void CCDAuditionDlg::ShowPosition() {
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (mciSendCommandA(m_nDeviceId, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status))) return;
    const DWORD dwPosition = static_cast<DWORD>(status.dwReturn);
    const int nMinutes = static_cast<int>(MCI_TMSF_MINUTE(dwPosition));
    const int nSeconds = static_cast<int>(MCI_TMSF_SECOND(dwPosition));
    CString strElapsed;
    strElapsed.Format("%.2d:%.2d", nMinutes, nSeconds);
    SetDlgItemText(IDC_CDAU_ELAPSED, strElapsed);
    m_slider.SetPos(nMinutes * kSecondsPerMinute + nSeconds);
}

LRESULT CCDAuditionDlg::OnMciNotify(WPARAM wParam, LPARAM lParam) {
    // Replaced requests report as superseded or aborted; only the track's end counts.
    if (wParam == MCI_NOTIFY_SUCCESSFUL && static_cast<MCIDEVICEID>(lParam) == m_nDeviceId && m_nDeviceId) End();
    return 0;
}

void CCDAuditionDlg::OnPause() {
    if (!m_nDeviceId) return;
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandA(m_nDeviceId, MCI_PAUSE, MCI_WAIT, Parms(&parms));
    EnableItem(IDC_CDAU_PLAY, TRUE);
    EnableItem(IDC_CDAU_PAUSE, FALSE);
}

void CCDAuditionDlg::OnPlay() {
    if (m_bEnded) return;
    if (!PlayFrom(m_slider.GetPos())) {
        CloseDevice();
        ShowMessage(this, IDS_CD_PLAY_FAILED, MB_ICONEXCLAMATION);
        End();
        return;
    }
    EnableItem(IDC_CDAU_PLAY, FALSE);
    EnableItem(IDC_CDAU_PAUSE, TRUE);
}

void CCDAuditionDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd*) {
    switch (nSBCode) {
    case SB_THUMBPOSITION:
        m_bDragging = 0;
        m_slider.SetPos(static_cast<int>(nPos));
        OnPlay();
        break;
    case SB_ENDSCROLL:
        m_bDragging = 0;
        OnPlay();
        break;
    default: m_bDragging = 1; break;
    }
}

void CCDAuditionDlg::EnableItem(UINT nId, BOOL bEnable) {
    if (CWnd* pItem = GetDlgItem(static_cast<int>(nId))) pItem->EnableWindow(bEnable);
}

// ---- painting ------------------------------------------------------------------

void CCDAuditionDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_slider.GetSafeHwnd()) PaintMinutes(dc);
}

void CCDAuditionDlg::PaintMinutes(CDC& dc) {
    CFont font;
    if (!font.CreatePointFont(kLabelPoints, kLabelFace, dc.m_hDC)) return;
    CSelectGuard selectFont(dc, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kLabelColour);
    CRect rcSlider;
    m_slider.GetWindowRect(&rcSlider);
    ScreenToClient(&rcSlider);
    // Tick k (between the ends) stands at (k + 1) half-minutes; every second one is a minute.
    const int nTicks = static_cast<int>(m_slider.GetNumTics()) - 2;
    for (int nTick = kTicksPerMinute - 1; nTick < nTicks; nTick += kTicksPerMinute) {
        const int x = m_slider.GetTicPos(nTick);
        if (x < 0) continue;
        CString strMinutes;
        strMinutes.Format("%d", (nTick + 1) / kTicksPerMinute);
        CSize size = dc.GetTextExtent(strMinutes);
        dc.TextOut(rcSlider.left + x - kLabelLeftOfTick - size.cx / 2, rcSlider.bottom, strMinutes);
    }
}
