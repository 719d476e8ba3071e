#include "MP3PlayerDlg.h"

#include "PlaylistModel.h"
#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinLayout.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

namespace {

// mpdeck's hotspots in hit-test order, with their tips.
struct HotspotTip {
    UINT nId;
    UINT nTipId;
};
const HotspotTip kHotspotTips[] = {
    {skin::kHotExit, IDS_TIP_EXIT},          {skin::kHotMinimize, IDS_TIP_MINIMIZE},
    {skin::kHotHelp, IDS_TIP_HELP},          {skin::kHotAbout, IDS_TIP_ABOUT_MP3},
    {skin::kHotVolumeUp, IDS_TIP_VOLUME_UP}, {skin::kHotVolumeDown, IDS_TIP_VOLUME_DOWN},
    {skin::kHotPause, IDS_TIP_PAUSE},        {skin::kHotStop, IDS_TIP_STOP},
    {skin::kHotSheet, IDS_TIP_SHEET_MP3},    {skin::kHotMode, IDS_TIP_MODE_MP3},
    {skin::kHotPlayerMenu, IDS_TIP_SWITCH_TO_CD}, {skin::kHotPlay, IDS_TIP_PLAY},
    {skin::kHotPrevious, IDS_TIP_PREVIOUS},  {skin::kHotNext, IDS_TIP_NEXT},
};

const skin::Hotspot* FindLayout(UINT nId) {
    for (const skin::Hotspot& layout : skin::kHotspots) {
        if (layout.id == nId) return &layout;
    }
    return nullptr;
}

// The volume's place on the LCD, repainted when it comes and goes.
const CRect kVolumeArea(210, 80, 272, 116);
const int kVolumeLevelShift = 12;
// The span of samples the WAVE stand-in of the peak meter looks at: one meter period.
const DWORD kPeakSpanMs = 50;


const char kDefPlaylistKey[] = "DefPList";

}  // namespace

BEGIN_MESSAGE_MAP(CMP3PlayerDlg, CSkinPlayerDlg)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_MESSAGE(UM_HOTSPOTCLICK, OnHotspotClick)
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_CD, OnSwitchToCd)
END_MESSAGE_MAP()

BOOL CMP3PlayerDlg::OnInitDialog() {
    m_pDisplay = std::make_unique<CMP3Display>(this);
    SetWindowText(kMp3PlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    m_mp3Play.SubclassDlgItem(IDC_MP3PLAY_CONTROL, this);
    LoadStartupPlaylist(pApp->m_lpCmdLine);
    CreateHotspots();
    m_volume.Init(CMixerVolume::kWaveOut);
    m_waveDevice.m_pOwner = this;
    m_pMeter = std::make_unique<CLevelMeter>(this);
    return TRUE;
}

void CMP3PlayerDlg::CreateHotspots() {
    CreateToolTip();
    for (const HotspotTip& tip : kHotspotTips) {
        if (const skin::Hotspot* pLayout = FindLayout(tip.nId)) AddHotspot(*pLayout, tip.nTipId);
    }
    if (m_tooltip.m_hWnd) m_tooltip.Activate(TRUE);
}

// The shell quotes a path with blanks when it starts us with a file; the quotes are
// not part of the path.
static CString CommandLineFile(LPCSTR lpszCommandLine) {
    CString strFile = lpszCommandLine;
    const int nLength = strFile.GetLength();
    if (nLength >= 2 && strFile[0] == '"' && strFile[nLength - 1] == '"') strFile = strFile.Mid(1, nLength - 2);
    return strFile;
}

void CMP3PlayerDlg::LoadStartupPlaylist(LPCSTR lpszCommandLine) {
    if (!lpszCommandLine || !*lpszCommandLine) {
        m_playlist.m_strPlaylistName = GetSkinApp()->GetProfileString(kProfileSection, kDefPlaylistKey, "");
        m_playlist.LoadPlaylist();
    } else {
        m_playlist.LoadSingleFile(CommandLineFile(lpszCommandLine));
    }
    TakeLoadedPlaylist();
}

void CMP3PlayerDlg::TakeLoadedPlaylist() {
    MeasureEntries();
    if (m_pDisplay) m_pDisplay->m_nPlayMode = m_playlist.m_nPlayMode;
}

void CMP3PlayerDlg::MeasureEntries() {
    for (int i = 0; i < m_playlist.m_songList.GetCount(); ++i) {
        CSongEntry* pEntry = m_playlist.m_songList.GetAt(i);
        if (pEntry->m_nType == SONG_WAVE) MeasureWave(*pEntry);
        if (pEntry->m_nType == SONG_MPEG) MeasureMpeg(*pEntry);
    }
}

// A file the device cannot open keeps its values.
void CMP3PlayerDlg::MeasureWave(CSongEntry& entry) {
    m_waveDevice.m_strPath = entry.m_strPath;
    if (!m_waveDevice.Open()) return;
    entry.m_dwSize = m_waveDevice.m_dwLengthBytes;
    entry.m_nLength = static_cast<LONG>(m_waveDevice.m_dwLengthSeconds);
    entry.m_dwBitsPerSample = m_waveDevice.m_dwBitsPerSample;
    entry.m_dwSamplesPerSec = m_waveDevice.m_dwSamplesPerSec;
    entry.m_dwChannels = m_waveDevice.m_dwChannels;
    entry.m_dwAvgBytesPerSec = m_waveDevice.m_dwAvgBytesPerSec;
    m_waveDevice.Close();
}

void CMP3PlayerDlg::MeasureMpeg(CSongEntry& entry) {
    m_mp3Play.Open(entry.m_strPath, "");
    entry.m_nLength = m_mp3Play.GetLength() / 1000;
    m_mp3Play.Close();
}

void CMP3PlayerDlg::OnPaint() {
    CPaintDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, 0, 0, rcClient.Width(), rcClient.Height(), 0, 0);
    // A face piece covers the place where cddeck has its eject button.
    const skin::Rect& rcCover = skin::kEjectCoverSource;
    DrawSkinPiece(dc, pApp->m_bmpFace, pApp->m_palFace, skin::kEjectCoverPlace.x, skin::kEjectCoverPlace.y,
                  rcCover.Width(), rcCover.Height(), rcCover.left, rcCover.top);
    if (!m_pDisplay) return;
    if (!m_pDisplay->m_bPlaying && m_nIndex == -1) {
        m_pDisplay->m_nSongNumber = m_playlist.m_songList.GetCount() > 0 ? 1 : 0;
    } else {
        m_pDisplay->m_nSongNumber = m_nSongNumber;
    }
    m_pDisplay->DrawAll(&dc);
    if (m_pMeter) {
        m_pMeter->Read();
        m_pMeter->Draw(&dc);
    }
}

BOOL CMP3PlayerDlg::CurrentTypeIsMpeg() const {
    const int nCount = m_playlist.m_songList.GetCount();
    if (m_nSongNumber < 1 || m_nSongNumber > nCount) return FALSE;
    return m_playlist.m_songList.GetAt(m_nSongNumber - 1)->m_nType == SONG_MPEG;
}

BOOL CMP3PlayerDlg::IsSongPlaying() const {
    return m_pDisplay && m_pDisplay->m_bPlaying;
}

// The MP3 control publishes what it plays; only a WAVE that the device is playing
// gives peaks, a paused one is silent.
BOOL CMP3PlayerDlg::ReadPlayedPeaks(short& nLeft, short& nRight) {
    if (CurrentTypeIsMpeg()) {
        if (!m_mp3Play.m_hWnd) return FALSE;
        const UINT_PTR nPacked = reinterpret_cast<UINT_PTR>(::GetPropA(m_mp3Play.m_hWnd, mp3play::kPeakProperty));
        nLeft = static_cast<short>(LOWORD(nPacked) & 0x7FFF);
        nRight = static_cast<short>(HIWORD(nPacked) & 0x7FFF);
        return TRUE;
    }
    if (!m_waveDevice.IsPlaying()) {
        nLeft = nRight = 0;
        return TRUE;
    }
    const std::string strPath = m_waveDevice.m_strPath.GetString();
    if (m_wavePeaks.Path() != strPath && !m_wavePeaks.Open(strPath)) return FALSE;
    if (!m_wavePeaks.Peak(m_waveDevice.PositionMs(), kPeakSpanMs, nLeft, nRight)) nLeft = nRight = 0;
    return TRUE;
}

void CMP3PlayerDlg::StartLevelMeter() {
    SetTimer(kTimerMeter, kMeterMs);
}

void CMP3PlayerDlg::ChangeVolume(BOOL bUp) {
    const UINT v = m_volume.GetVolume();
    UINT nNew = 0;
    if (bUp) nNew = v < kVolumeMax - kVolumeStep ? v + kVolumeStep : kVolumeMax;
    else nNew = v < kVolumeStep + 1 ? 0 : v - kVolumeStep;
    m_volume.SetVolume(nNew);
    SetTimer(kTimerVolume, kVolumeShownMs);
    m_bVolumeShown = 1;
    CClientDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, kVolumeArea.left, kVolumeArea.top,
                  kVolumeArea.Width(), kVolumeArea.Height(), kVolumeArea.left, kVolumeArea.top);
    if (m_pDisplay) m_pDisplay->DrawVolume(static_cast<int>(nNew >> kVolumeLevelShift), &dc);
}

void CMP3PlayerDlg::EndVolumeDisplay() {
    KillTimer(kTimerVolume);
    m_bVolumeShown = 0;
    CClientDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, kVolumeArea.left, kVolumeArea.top,
                  kVolumeArea.Width(), kVolumeArea.Height(), kVolumeArea.left, kVolumeArea.top);
    if (m_pDisplay) m_pDisplay->DrawAll(&dc);
}

void CMP3PlayerDlg::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
    case kTimerVolume:
        EndVolumeDisplay();
        break;
    case kTimerMeter:
        if (m_pMeter && m_pDisplay && !m_pDisplay->m_bPaused && !m_pDisplay->m_bSeekForward &&
            !m_pDisplay->m_bSeekBack) {
            m_pMeter->Read();
            m_pMeter->Draw();
        }
        break;
    default:
        break;
    }
}

LRESULT CMP3PlayerDlg::OnHotspotClick(WPARAM wParam, LPARAM) {
    ::SetCursor(GetSkinApp()->m_hHandCursor);
    switch (wParam) {
    case skin::kHotVolumeUp:
        ChangeVolume(TRUE);
        break;
    case skin::kHotVolumeDown:
        ChangeVolume(FALSE);
        break;
    default:
        break;
    }
    return 0;
}

BOOL CMP3PlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

LRESULT CMP3PlayerDlg::OnShutdown(WPARAM, LPARAM) {
    GetSkinApp()->EndPlayer(this);
    return 0;
}

void CMP3PlayerDlg::OnSwitchToCd() {
    GetSkinApp()->SwitchToSibling(this);
}
