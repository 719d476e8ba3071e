#include "MP3PlayerDlg.h"

#include "MP3AboutDlg.h"
#include "MPPropSheet.h"
#include "PlaylistModel.h"
#include "SavePlaylistDlg.h"
#include "SelectSongDlg.h"
#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "SkinLayout.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

namespace {

// mpdeck's hotspots in hit-test order, with their tips.
const CSkinPlayerDlg::HotspotTip kHotspotTips[] = {
    {skin::kHotExit, IDS_TIP_EXIT},          {skin::kHotMinimize, IDS_TIP_MINIMIZE},
    {skin::kHotHelp, IDS_TIP_HELP},          {skin::kHotAbout, IDS_TIP_ABOUT_MP3},
    {skin::kHotVolumeUp, IDS_TIP_VOLUME_UP}, {skin::kHotVolumeDown, IDS_TIP_VOLUME_DOWN},
    {skin::kHotPause, IDS_TIP_PAUSE},        {skin::kHotStop, IDS_TIP_STOP},
    {skin::kHotSheet, IDS_TIP_SHEET_MP3},    {skin::kHotMode, IDS_TIP_MODE_MP3},
    {skin::kHotPlayerMenu, IDS_TIP_SWITCH_TO_CD}, {skin::kHotPlay, IDS_TIP_PLAY},
    {skin::kHotPrevious, IDS_TIP_PREVIOUS},  {skin::kHotNext, IDS_TIP_NEXT},
};

// The volume's place on the LCD, repainted when it comes and goes.
const CRect kVolumeArea(210, 80, 272, 116);
const int kVolumeLevelShift = 12;
// The span of samples the WAVE stand-in of the peak meter looks at: one meter period.
const DWORD kPeakSpanMs = 50;


const char kDefPlaylistKey[] = "DefPList";
const char kResumeKey[] = "Resume";

const UINT kMessageError = MB_OK | MB_ICONEXCLAMATION;
const UINT kMessageNotice = MB_OK | MB_ICONINFORMATION;
const UINT kMessageAskSave = MB_YESNOCANCEL | MB_ICONQUESTION;
// WinExec reports success with a value above this.
const UINT kWinExecFailed = 31;
// The sibling menu opens beside the menu hotspot.
const int kMenuOffsetX = 10;
const int kMenuOffsetY = 3;

bool IsSkipHotspot(UINT nId) {
    return nId == skin::kHotPrevious || nId == skin::kHotNext;
}

}  // namespace

BEGIN_MESSAGE_MAP(CMP3PlayerDlg, CSkinPlayerDlg)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_RBUTTONDOWN()
    ON_MESSAGE(UM_HOTSPOTCLICK, OnHotspotClick)
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_CD, OnSwitchToCd)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CMP3PlayerDlg, CSkinPlayerDlg)
    ON_EVENT(CMP3PlayerDlg, IDC_MP3PLAY_CONTROL, CMp3Play::kEventPosition, OnMp3Position, VTS_I4)
    ON_EVENT(CMP3PlayerDlg, IDC_MP3PLAY_CONTROL, CMp3Play::kEventEnd, OnMp3End, VTS_NONE)
    ON_EVENT(CMP3PlayerDlg, IDC_MP3PLAY_CONTROL, CMp3Play::kEventNext, OnMp3Next, VTS_NONE)
END_EVENTSINK_MAP()

BOOL CMP3PlayerDlg::OnInitDialog() {
    m_pDisplay = std::make_unique<CMP3Display>(this);
    SetWindowText(kMp3PlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    m_mp3Play.SubclassDlgItem(IDC_MP3PLAY_CONTROL, this);
    LoadStartupPlaylist(pApp->m_lpCmdLine);
    CreateHotspots(kHotspotTips);
    m_volume.Init(CMixerVolume::kWaveOut);
    m_waveDevice.m_pOwner = this;
    m_pMeter = std::make_unique<CLevelMeter>(this);
    if (pApp->m_lpCmdLine && *pApp->m_lpCmdLine) Play();
    return TRUE;
}

// The shell quotes a path with blanks when it starts us with a file; the quotes are
// not part of the path.
static CString CommandLineFile(LPCSTR lpszCommandLine) {
    CString strFile = lpszCommandLine;
    strFile.TrimLeft();
    strFile.TrimRight();
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

void CMP3PlayerDlg::ApplySongNumberRule() {
    if (!m_pDisplay) return;
    if (!m_pDisplay->m_bPlaying && m_transport.m_nIndex == CMP3Transport::kNoIndex) {
        m_pDisplay->m_nSongNumber = m_playlist.m_songList.GetCount() > 0 ? 1 : 0;
    } else {
        m_pDisplay->m_nSongNumber = m_transport.m_nSongNumber;
    }
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
    ApplySongNumberRule();
    m_pDisplay->DrawAll(&dc);
    if (m_pMeter) {
        m_pMeter->Read();
        m_pMeter->Draw(&dc);
    }
}

BOOL CMP3PlayerDlg::CurrentTypeIsMpeg() const {
    const int nSong = m_transport.m_nSongNumber;
    if (nSong < 1 || nSong > m_playlist.m_songList.GetCount()) return FALSE;
    return m_playlist.m_songList.GetAt(nSong - 1)->m_nType == SONG_MPEG;
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

void CMP3PlayerDlg::ResetMeter() {
    if (!m_pMeter) return;
    m_pMeter->Reset();
    m_pMeter->Draw();
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

CString CMP3PlayerDlg::TitleFromPath(const CString& strPath) const {
    const int nSlash = strPath.ReverseFind('\\');
    return nSlash >= 0 ? strPath.Mid(nSlash + 1) : strPath;
}

void CMP3PlayerDlg::FailSong(UINT nMessageId, const CString& strPath) {
    m_pDisplay->m_bPlaying = 0;
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPlay);
    ShowMessage(this, nMessageId, kMessageError, strPath);
}

BOOL CMP3PlayerDlg::StartWave(const CSongEntry& entry) {
    m_waveDevice.m_strPath = entry.m_strPath;
    if (!m_waveDevice.Open()) {
        FailSong(IDS_OPEN_FAILED, entry.m_strPath);
        return FALSE;
    }
    if (!m_waveDevice.Play()) {
        FailSong(IDS_PLAY_FAILED, entry.m_strPath);
        return FALSE;
    }
    m_pDisplay->m_strTitle = TitleFromPath(entry.m_strPath);
    m_pDisplay->m_strArtist.Empty();
    SetTimer(kTimerWavePoll, kWavePollMs);
    return TRUE;
}

BOOL CMP3PlayerDlg::StartMpeg(const CSongEntry& entry) {
    m_strMp3Path = entry.m_strPath;
    m_tag = CID3Tag();
    m_tag.m_strPath = entry.m_strPath;
    m_tag.ReadTag();
    if (m_mp3Play.Open(entry.m_strPath, "") != 0) {
        FailSong(IDS_OPEN_FAILED, entry.m_strPath);
        return FALSE;
    }
    m_mp3Play.Seek(0);
    if (m_mp3Play.Play() != 0) {
        FailSong(IDS_PLAY_FAILED, entry.m_strPath);
        return FALSE;
    }
    ShowMpegSong(entry);
    QueueFollowing();
    return TRUE;
}

void CMP3PlayerDlg::ShowMpegSong(const CSongEntry& entry) {
    const CString strTitle = m_tag.GetTitle();
    m_pDisplay->m_strTitle = strTitle.IsEmpty() ? TitleFromPath(entry.m_strPath) : strTitle;
    m_pDisplay->m_strArtist = m_tag.GetArtist();
    m_pDisplay->m_nBitRate = static_cast<int>(m_mp3Play.GetBitRate());
    m_pDisplay->m_nSamplingFrequency = static_cast<int>(m_mp3Play.GetFrequency());
    m_pDisplay->m_nChannelMode = m_mp3Play.GetChannelMode();
}

// The next song of the play order, when it is an MP3, is handed to the control ahead
// of time so that it plays on without a break; the control refuses what cannot.
void CMP3PlayerDlg::QueueFollowing() {
    if (!m_pDisplay || !m_pDisplay->m_bPlaying || !CurrentTypeIsMpeg()) return;
    // Refused once the control has moved into the queued song: that one comes next.
    if (m_mp3Play.Queue("") != 0) return;
    const int nSong = m_transport.ChooseFollowing(m_pDisplay->m_nPlayMode);
    if (nSong == CMP3Transport::kNoSong) return;
    const CSongEntry& entry = *m_playlist.m_songList.GetAt(nSong - 1);
    if (entry.m_nType != SONG_MPEG || m_mp3Play.Queue(entry.m_strPath) != 0) m_transport.DropFollowing();
}

void CMP3PlayerDlg::OnMp3Next() {
    if (!m_pDisplay || !m_transport.EnterFollowing()) return;
    const int nSong = m_transport.m_nSongNumber;
    // The list lost the song while it was queued: what plays is no entry any more.
    if (nSong > m_playlist.m_songList.GetCount()) {
        Stop();
        return;
    }
    const CSongEntry& entry = *m_playlist.m_songList.GetAt(nSong - 1);
    m_strMp3Path = entry.m_strPath;
    m_tag = CID3Tag();
    m_tag.m_strPath = entry.m_strPath;
    m_tag.ReadTag();
    ShowMpegSong(entry);
    m_pDisplay->m_nElapsed = 0;
    m_pDisplay->m_nSongNumber = nSong;
    m_pDisplay->m_nLength = static_cast<int>(entry.m_nLength);
    m_pDisplay->DrawAll();
    QueueFollowing();
}

BOOL CMP3PlayerDlg::StartSong(BOOL bTellSheet) {
    const int nSong = m_transport.m_nSongNumber;
    if (!m_pDisplay || nSong < 1 || nSong > m_playlist.m_songList.GetCount()) return FALSE;
    const CSongEntry& entry = *m_playlist.m_songList.GetAt(nSong - 1);
    m_pDisplay->m_bPlaying = 1;
    const BOOL bStarted = entry.m_nType == SONG_MPEG ? StartMpeg(entry) : StartWave(entry);
    if (!bStarted) return FALSE;
    StartLevelMeter();
    m_pDisplay->m_nElapsed = 0;
    m_pDisplay->m_bPlaying = 1;
    m_pDisplay->m_bPaused = 0;
    m_pDisplay->m_nSongNumber = nSong;
    m_pDisplay->m_nLength = static_cast<int>(entry.m_nLength);
    m_pDisplay->DrawAll();
    m_transport.m_nState = CMP3Transport::kRunning;
    if (bTellSheet && m_bSheetOpen && m_pSheet) m_pSheet->PlayingChanged(TRUE);
    return TRUE;
}

void CMP3PlayerDlg::Play() {
    if (m_bPlayerLock || !m_pDisplay) return;
    if (m_pDisplay->m_bPlaying) {
        if (!m_pDisplay->m_bPaused) return;
        if (CurrentTypeIsMpeg()) m_mp3Play.Pause();
        else m_waveDevice.Resume();
        m_pDisplay->m_bPaused = 0;
        m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPause);
        m_transport.m_nState = CMP3Transport::kRunning;
        return;
    }
    // What plays is the list the open page shows, edits included.
    CommitPlaylistPage();
    if (m_playlist.m_songList.IsEmpty()) {
        ShowMessage(this, IDS_PLAYLIST_EMPTY, kMessageNotice);
        OpenSheet();
        return;
    }
    if (m_transport.ChooseForPlay(m_pDisplay->m_nPlayMode, GetSkinApp()->m_bResume != 0) == CMP3Transport::kNoSong)
        return;
    StartSong(TRUE);
}

void CMP3PlayerDlg::EndOfSong() {
    if (m_transport.m_nState != CMP3Transport::kRunning) {
        Stop();
        return;
    }
    if (m_transport.Advance(m_pDisplay->m_nPlayMode) == CMP3Transport::kNoSong) {
        Stop();
        return;
    }
    StartSong(FALSE);
}

void CMP3PlayerDlg::Pause() {
    if (!m_pDisplay || !m_pDisplay->m_bPlaying || m_pDisplay->m_bPaused) return;
    if (CurrentTypeIsMpeg()) m_mp3Play.Pause();
    else m_waveDevice.Pause();
    m_pDisplay->m_bPaused = 1;
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPause);
    m_transport.m_nState = CMP3Transport::kRunning;
    ResetMeter();
}

void CMP3PlayerDlg::Stop() {
    if (m_bPlayerLock || !m_pDisplay || !m_pDisplay->m_bPlaying) return;
    m_pDisplay->m_bPlaying = 0;
    const BOOL bMpeg = CurrentTypeIsMpeg();
    if (bMpeg) {
        m_mp3Play.Stop();
        m_tag = CID3Tag();
        m_pDisplay->m_nBitRate = m_pDisplay->m_nSamplingFrequency = m_pDisplay->m_nChannelMode = 0;
    } else {
        m_waveDevice.Stop();
        m_waveDevice.Close();
        KillTimer(kTimerWavePoll);
    }
    KillTimer(kTimerMeter);
    m_transport.m_nState = CMP3Transport::kStopped;
    m_pDisplay->m_bPaused = 0;
    m_pDisplay->m_strTitle.Empty();
    m_pDisplay->m_strArtist.Empty();
    m_pDisplay->DrawTitle();
    m_pDisplay->DrawFormat();
    m_pDisplay->DrawArtist();
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPlay);
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPause);
    ResetMeter();
    if (m_bSheetOpen && m_pSheet) m_pSheet->PlayingChanged(FALSE);
    m_transport.Stopped(m_pDisplay->m_nPlayMode);
}

void CMP3PlayerDlg::CutCurrentSong() {
    m_transport.m_nState = CMP3Transport::kRunning;
    if (CurrentTypeIsMpeg()) m_mp3Play.Stop();
    else m_waveDevice.Stop();
}

void CMP3PlayerDlg::Previous() {
    if (!m_pDisplay || !m_pDisplay->m_bPlaying) return;
    if (!m_transport.StepBack(m_pDisplay->m_nPlayMode, m_pDisplay->m_nElapsed)) return;
    CutCurrentSong();
}

void CMP3PlayerDlg::Next() {
    if (!m_pDisplay || !m_pDisplay->m_bPlaying) return;
    if (!m_transport.CanStepForward(m_pDisplay->m_nPlayMode)) return;
    CutCurrentSong();
}

BOOL CMP3PlayerDlg::IsSeeking() const {
    return m_pDisplay && m_pDisplay->m_bPlaying && (m_pDisplay->m_bSeekForward || m_pDisplay->m_bSeekBack);
}

void CMP3PlayerDlg::BeginHoldSeek() {
    KillTimer(kTimerHold);
    m_bHoldArmed = 0;
    if (!m_pDisplay || !m_pDisplay->m_bPlaying || !IsSkipHotspot(m_nPressedHotspot)) return;
    // The control's pause is a toggle: a song the user paused stays paused.
    if (!m_pDisplay->m_bPaused) {
        if (CurrentTypeIsMpeg()) m_mp3Play.Pause();
        else m_waveDevice.Pause();
    }
    m_pDisplay->m_bPaused = 1;
    m_pDisplay->m_bPlaying = 0;
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPlay);
    m_pDisplay->m_bPlaying = 1;
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPause);
    m_nSeekPosition = m_pDisplay->m_nElapsed;
    KillTimer(kTimerWavePoll);
    const BOOL bBack = m_nPressedHotspot == skin::kHotPrevious;
    (bBack ? m_pDisplay->m_bSeekBack : m_pDisplay->m_bSeekForward) = 1;
    m_pDisplay->DrawIndicator(bBack ? CMP3Display::kIndicatorBack : CMP3Display::kIndicatorForward);
    SetTimer(kTimerWavePoll, kSeekStepMs);
    ResetMeter();
}

void CMP3PlayerDlg::StepHoldSeek() {
    m_nSeekPosition = CMP3Transport::SeekStep(m_nSeekPosition, m_pDisplay->m_bSeekForward != 0, m_pDisplay->m_nLength);
    m_pDisplay->m_nElapsed = m_nSeekPosition;
    m_pDisplay->DrawElapsed();
}

void CMP3PlayerDlg::EndHoldSeek() {
    m_pDisplay->m_nElapsed = m_nSeekPosition;
    const BOOL bMpeg = CurrentTypeIsMpeg();
    if (bMpeg) {
        // A frame duration below 1 ms gives no frame to seek to: play on from the pause.
        const long nFrame = CMp3Play::FrameForSecond(m_nSeekPosition, m_mp3Play.GetFrameDuration());
        if (nFrame >= 0) m_mp3Play.Seek(nFrame);
        m_mp3Play.Pause();
    } else {
        m_waveDevice.Seek(m_nSeekPosition / 60, m_nSeekPosition % 60);
    }
    m_pDisplay->m_bPaused = 0;
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPause);
    m_pDisplay->DrawIndicator(CMP3Display::kIndicatorPlay);
    KillTimer(kTimerWavePoll);
    const int nIndicator = m_pDisplay->m_bSeekBack ? CMP3Display::kIndicatorBack : CMP3Display::kIndicatorForward;
    m_pDisplay->m_bSeekBack = m_pDisplay->m_bSeekForward = 0;
    m_pDisplay->DrawIndicator(nIndicator);
    if (!bMpeg) SetTimer(kTimerWavePoll, kWavePollMs);
}

void CMP3PlayerDlg::PollWave() {
    if (!m_pDisplay->m_bPlaying || m_pDisplay->m_bPaused || !m_waveDevice.IsPlaying()) return;
    m_pDisplay->m_nElapsed = static_cast<int>(m_waveDevice.Position());
    m_pDisplay->DrawElapsed();
}

void CMP3PlayerDlg::OnHotspotPressed(UINT nId) {
    if (!IsSkipHotspot(nId) && nId != skin::kHotVolumeDown && nId != skin::kHotVolumeUp) return;
    SetTimer(kTimerHold, kHoldMs);
    m_bHoldArmed = 1;
}

BOOL CMP3PlayerDlg::OnHotspotReleased(UINT) {
    if (m_bHoldArmed) {
        KillTimer(kTimerHold);
        m_bHoldArmed = 0;
    }
    if (!IsSeeking()) return FALSE;
    EndHoldSeek();
    return TRUE;
}

void CMP3PlayerDlg::OnTimer(UINT_PTR nIDEvent) {
    if (!m_pDisplay) return;
    switch (nIDEvent) {
    case kTimerVolume:
        EndVolumeDisplay();
        break;
    case kTimerWavePoll:
        if (m_pDisplay->m_bSeekForward || m_pDisplay->m_bSeekBack) StepHoldSeek();
        else PollWave();
        break;
    case kTimerHold:
        BeginHoldSeek();
        break;
    case kTimerMeter:
        if (m_pMeter && !m_pDisplay->m_bPaused && !m_pDisplay->m_bSeekForward && !m_pDisplay->m_bSeekBack) {
            m_pMeter->Read();
            m_pMeter->Draw();
        }
        break;
    default:
        break;
    }
}

void CMP3PlayerDlg::OnRButtonDown(UINT, CPoint point) {
    CSkinHotspot* pHotspot = HitTest(point);
    if (!pHotspot || pHotspot->m_nId == skin::kHotPlay) SelectSong();
}

void CMP3PlayerDlg::OnMp3Position(long nFrame) {
    if (!m_pDisplay || m_mp3Play.GetFrames() == 0) return;
    m_pDisplay->m_nElapsed = static_cast<int>(m_mp3Play.ElapsedSeconds(nFrame));
    m_pDisplay->DrawElapsed();
}

void CMP3PlayerDlg::OnMp3End() {
    EndOfSong();
}

LRESULT CMP3PlayerDlg::OnMciNotify(WPARAM wParam, LPARAM lParam) {
    // A device closed since (Stop, Exit) may still report; that is no end of the
    // current song, and closing would cut off the song started after it.
    if (static_cast<MCIDEVICEID>(lParam) != m_waveDevice.m_wDeviceID) return 0;
    // The play a seek cut off reports once more; the seek's own play goes on.
    if (m_waveDevice.m_bSkipNotify) {
        m_waveDevice.m_bSkipNotify = FALSE;
        return 0;
    }
    m_waveDevice.Close();
    const BOOL bRunning = m_transport.m_nState == CMP3Transport::kRunning;
    if (wParam == MCI_NOTIFY_SUCCESSFUL || (wParam == MCI_NOTIFY_ABORTED && bRunning)) EndOfSong();
    return 0;
}

int CMP3PlayerDlg::GetPlayMode() const {
    return m_pDisplay ? m_pDisplay->m_nPlayMode : m_playlist.m_nPlayMode;
}

void CMP3PlayerDlg::ChangePlayMode(int nMode) {
    if (!m_pDisplay || nMode == m_pDisplay->m_nPlayMode) return;
    m_transport.ModeChanging(m_pDisplay->m_nPlayMode, m_pDisplay->m_bPlaying != 0, GetSkinApp()->m_bResume != 0);
    m_pDisplay->m_nPlayMode = nMode;
    if (!m_bVolumeShown) m_pDisplay->DrawMode();
    QueueFollowing();
}

void CMP3PlayerDlg::CycleMode() {
    const int nNew = playmode::Next(m_pDisplay->m_nPlayMode);
    ChangePlayMode(nNew);
    m_playlist.m_bPlaylistModified = 1;
    if (!m_bSheetOpen || !m_pSheet || !m_pSheet->m_pagePlaylist.m_hWnd) return;
    m_pSheet->m_pagePlaylist.CheckDlgButton(IDC_PLAYLIST_LOOP, playmode::HasLoop(nNew) ? BST_CHECKED : BST_UNCHECKED);
    m_pSheet->m_pagePlaylist.CheckDlgButton(IDC_PLAYLIST_SHUFFLE,
                                            playmode::HasShuffle(nNew) ? BST_CHECKED : BST_UNCHECKED);
}

CString CMP3PlayerDlg::BrowserCommandFor(const CString& strCommand, const CString& strPage) {
    // An open command that ends in its own opening quote has the closing one after "%1".
    if (!strCommand.IsEmpty() && strCommand[strCommand.GetLength() - 1] == '"') return strCommand + strPage + "\"";
    return strCommand + "\"" + strPage + "\"";
}

void CMP3PlayerDlg::ShowHelp() {
    CSkinApp* pApp = GetSkinApp();
    CString strDir, strCommand;
    pApp->GetHelpDir(strDir);
    if (!pApp->GetBrowserCommand(strCommand) ||
        ::WinExec(BrowserCommandFor(strCommand, strDir + LoadText(IDS_MP3_HELP_FILE)), SW_SHOWNORMAL) <= kWinExecFailed) {
        ShowMessage(this, IDS_NO_BROWSER, kMessageError);
    }
}

void CMP3PlayerDlg::ShowPlayerMenu() {
    CMenu menu;
    if (!menu.LoadMenu(IDR_PLAYER_MENU)) return;
    CMenu* pPopup = menu.GetSubMenu(0);
    CSkinHotspot* pHotspot = FindHotspot(skin::kHotPlayerMenu);
    if (!pPopup || !pHotspot) return;
    GetSkinApp()->EnableSiblingItem(pPopup, ID_SWITCH_TO_CD);
    CRect rcBox;
    pHotspot->m_rgn.GetRgnBox(&rcBox);
    ClientToScreen(&rcBox);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN, rcBox.right - kMenuOffsetX, rcBox.top + kMenuOffsetY, this);
}

void CMP3PlayerDlg::ShowAbout() {
    CMP3AboutDlg dlg(this);
    dlg.DoModal();
}

void CMP3PlayerDlg::SelectSong() {
    if (m_bPlayerLock || !m_pDisplay || playmode::HasShuffle(m_pDisplay->m_nPlayMode)) return;
    CSelectSongDlg dlg(m_playlist.m_songList, this);
    if (dlg.DoModal() != IDOK) return;
    const BOOL bPlaying = m_pDisplay->m_bPlaying;
    if (m_transport.Select(dlg.m_nSelected, bPlaying != 0, m_pDisplay->m_nPlayMode) != CMP3Transport::kNoSong) {
        StartSong(TRUE);
    } else if (bPlaying) {
        Next();
    }
}

void CMP3PlayerDlg::OpenSheet() {
    if (m_bSheetOpen && m_pSheet) {
        m_pSheet->SetFocus();
        return;
    }
    m_pSheet = new CMPPropSheet(this);
    if (!m_pSheet->Create(this, CMPPropSheet::kStyle, 0)) {
        delete m_pSheet;
        m_pSheet = nullptr;
        return;
    }
    m_pSheet->PlaceBelowPlayer();
    m_bSheetOpen = 1;
}

void CMP3PlayerDlg::SheetDestroyed() {
    m_bSheetOpen = 0;
    m_pSheet = nullptr;
    if (!m_pDisplay || !m_hWnd) return;
    if (!m_bVolumeShown) m_pDisplay->DrawMode();
    ApplySongNumberRule();
    m_pDisplay->DrawSongNumber();
}

void CMP3PlayerDlg::ReleaseAll() {
    if (m_pSheet) m_pSheet->DestroyWindow();
    if (m_waveDevice.IsPlaying()) m_waveDevice.Stop();
    m_waveDevice.Close();
    for (UINT_PTR nTimer : {kTimerVolume, kTimerWavePoll, kTimerHold, kTimerMeter}) KillTimer(nTimer);
}

void CMP3PlayerDlg::CommitPlaylistPage() {
    if (m_pSheet && m_pSheet->m_pagePlaylist.m_hWnd) m_pSheet->m_pagePlaylist.CommitPage();
}

void CMP3PlayerDlg::Exit() {
    CommitPlaylistPage();
    // Asked first: a Cancel here, or in the Save dialog, leaves everything playing.
    if (m_playlist.m_bPlaylistModified) {
        const int nAnswer = ShowMessage(this, IDS_ASK_SAVE_PLAYLIST, kMessageAskSave);
        if (nAnswer == IDCANCEL || nAnswer == 0) return;
        if (nAnswer == IDYES) {
            CSavePlaylistDlg dlg(m_playlist, this);
            if (dlg.DoModal() != IDOK) return;
            m_playlist.SavePlaylist(m_pDisplay->m_nPlayMode);
        }
    }
    ReleaseAll();
    CSkinApp* pApp = GetSkinApp();
    pApp->WriteProfileInt(kProfileSection, kResumeKey, pApp->m_bResume);
    pApp->WriteProfileString(kProfileSection, kDefPlaylistKey, m_playlist.m_strPlaylistName);
    pApp->EndPlayer(this);
}

LRESULT CMP3PlayerDlg::OnShutdown(WPARAM, LPARAM) {
    CommitPlaylistPage();
    if (m_playlist.m_bPlaylistModified && m_pDisplay) m_playlist.SavePlaylist(m_pDisplay->m_nPlayMode);
    ReleaseAll();
    GetSkinApp()->EndPlayer(this);
    return 0;
}

LRESULT CMP3PlayerDlg::OnHotspotClick(WPARAM wParam, LPARAM) {
    ::SetCursor(GetSkinApp()->m_hHandCursor);
    switch (wParam) {
    case skin::kHotExit: Exit(); break;
    case skin::kHotMinimize: GetSkinApp()->m_wndFrame.MinimizeToTaskbar(); break;
    case skin::kHotHelp: ShowHelp(); break;
    case skin::kHotAbout: ShowAbout(); break;
    case skin::kHotSheet: OpenSheet(); break;
    case skin::kHotMode: CycleMode(); break;
    case skin::kHotPlayerMenu: ShowPlayerMenu(); break;
    case skin::kHotVolumeDown: ChangeVolume(FALSE); break;
    case skin::kHotVolumeUp: ChangeVolume(TRUE); break;
    case skin::kHotPause: Pause(); break;
    case skin::kHotStop: Stop(); break;
    case skin::kHotPrevious: Previous(); break;
    case skin::kHotNext: Next(); break;
    case skin::kHotPlay: Play(); break;
    default: break;
    }
    return 0;
}

BOOL CMP3PlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

void CMP3PlayerDlg::OnSwitchToCd() {
    GetSkinApp()->SwitchToSibling(this);
}
