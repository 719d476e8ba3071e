#include "CDDevice.h"

#include <string>

#include "DiscRules.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "orvcdaudio/StandInKey.h"

namespace {

constexpr int kNoOrderPosition = -1;

// Set once the empty drive has been reported, so that the idle poll says it once.
int g_bNoDiscShown = 0;


DWORD_PTR Parms(void* pParms) {
    return reinterpret_cast<DWORD_PTR>(pParms);
}

}  // namespace

void CCDPanelState::Reset() {
    m_strTitle.Empty();
    m_strArtist.Empty();
    m_nCurrentTrack = 0;
    m_nElapsed = 0;
    m_nLength = 0;
    m_bPlaying = m_bPaused = m_bFastForward = m_bRewind = 0;
    m_nMode = kCdModePlain;
}

BOOL CCDDevice::Open() {
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = "CDAudio";
    if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, Parms(&open))) {
        ShowMessage(m_pOwner ? m_pOwner->GetDeviceWindow() : nullptr, IDS_CD_DEVICE_FAILED, MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_nDeviceId = open.wDeviceID;
    SetTmsf();
    return TRUE;
}

void CCDDevice::Close() {
    if (!m_nDeviceId) return;
    mciSendCommandA(m_nDeviceId, MCI_CLOSE, 0, 0);
    m_nDeviceId = 0;
}

BOOL CCDDevice::SetTmsf() {
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    return mciSendCommandA(m_nDeviceId, MCI_SET, MCI_SET_TIME_FORMAT, Parms(&set)) == 0;
}

BOOL CCDDevice::IsMediaPresent() {
    if (!m_nDeviceId) return FALSE;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MEDIA_PRESENT;
    if (mciSendCommandA(m_nDeviceId, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, Parms(&status))) return FALSE;
    return status.dwReturn ? TRUE : FALSE;
}

BOOL CCDDevice::IsPlaying() {
    if (!m_nDeviceId) return FALSE;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MODE;
    if (mciSendCommandA(m_nDeviceId, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, Parms(&status))) return FALSE;
    return status.dwReturn == MCI_MODE_PLAY;
}

BOOL CCDDevice::ReadDisc() {
    if (!m_nDeviceId || !m_pOwner) return FALSE;
    if (IsMediaPresent()) {
        m_bDoorOpen = 0;
        m_bLoaded = 1;
    }
    CCDPanelState& panel = m_pOwner->GetPanel();
    CCDDisc& disc = m_pOwner->GetDisc();
    panel.Reset();
    panel.m_nTrackCount = 0;
    panel.m_nTotalTime = 0;
    m_pOwner->ResetStrip();
    const BOOL bRead = disc.Read(m_nDeviceId);
    // A disc the drive has but that cannot be read is told as an empty drive.
    m_bUnreadable = !bRead && IsMediaPresent();
    if (m_bUnreadable) m_bLoaded = 0;
    if (bRead) {
        panel.m_nTrackCount = disc.m_nTrackCount;
        panel.m_nTotalTime = disc.m_nTotalTime;
        panel.m_nMode = disc.m_nMode;
        // Until a track plays, its fields show the whole disc.
        panel.m_nCurrentTrack = disc.m_nTrackCount;
        panel.m_nLength = disc.m_nTotalTime;
    }
    if (!m_pOwner->BuildStrip(disc.m_nTrackCount)) return FALSE;
    MarkSelection();
    m_pOwner->RedrawPanel();
    if (m_bUnreadable) {
        m_pOwner->ShowPanelMessage(IDS_CD_NO_DISC, DriveProblem());
        g_bNoDiscShown = 1;
    }
    m_pOwner->OnDiscRead();
    return TRUE;
}

BOOL CCDDevice::IsOtherDisc() {
    CCDDisc probe;
    probe.ComputeIdentifier(m_nDeviceId);
    return probe.m_strIdentifier != m_pOwner->GetDisc().m_strIdentifier;
}

void CCDDevice::MarkSelection() {
    const CCDDisc& disc = m_pOwner->GetDisc();
    for (int nTrack = 1; nTrack <= disc.m_nTrackCount; ++nTrack) m_pOwner->SetStripMark(nTrack, disc.IsSelected(nTrack));
}

BOOL CCDDevice::PlayToTrackEnd(int nTrack, DWORD dwFrom) {
    // The model knows only the tracks it read; a number beyond them has no end.
    const CCDDisc& disc = m_pOwner->GetDisc();
    if (nTrack < 1 || nTrack > disc.m_nTrackCount) return FALSE;
    const CCDTrack* pTrack = disc.TrackAt(nTrack - 1);
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(m_pOwner->GetDeviceWindow()->GetSafeHwnd());
    play.dwFrom = dwFrom;
    play.dwTo = cddisc::PackTmsf(nTrack, pTrack->GetMinutes(), pTrack->GetSeconds(), pTrack->GetFrames());
    return mciSendCommandA(m_nDeviceId, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, Parms(&play)) == 0;
}

BOOL CCDDevice::PlayTrack(int nTrack) {
    if (!m_nDeviceId || !m_pOwner) return FALSE;
    if (!SetTmsf()) return FALSE;
    if (!PlayToTrackEnd(nTrack, cddisc::PackTmsf(nTrack, 0, 0, 0))) return FALSE;

    const CCDDisc& disc = m_pOwner->GetDisc();
    const CCDTrack* pTrack = disc.TrackAt(nTrack - 1);
    CCDPanelState& panel = m_pOwner->GetPanel();
    panel.m_nCurrentTrack = nTrack;
    panel.m_nLength = pTrack->GetLengthInSeconds();
    panel.m_strTitle = pTrack->GetTitle();
    panel.m_strArtist = disc.m_strArtist;
    panel.m_bPlaying = 1;
    panel.m_bPaused = panel.m_bFastForward = panel.m_bRewind = 0;
    m_pOwner->RedrawPanel();
    return TRUE;
}

BOOL CCDDevice::Pause() {
    if (!m_nDeviceId || !m_pOwner || !m_pOwner->GetPanel().m_bPlaying) return FALSE;
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandA(m_nDeviceId, MCI_PAUSE, 0, Parms(&parms));
    return TRUE;
}

BOOL CCDDevice::Resume() {
    if (!m_nDeviceId || !m_pOwner) return FALSE;
    if (!SetTmsf()) return FALSE;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (mciSendCommandA(m_nDeviceId, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status))) return FALSE;
    const DWORD dwPosition = static_cast<DWORD>(status.dwReturn);
    return PlayToTrackEnd(static_cast<int>(dwPosition & 0xFF), dwPosition);
}

BOOL CCDDevice::Stop() {
    if (!m_nDeviceId || !m_pOwner) return FALSE;
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandA(m_nDeviceId, MCI_STOP, MCI_WAIT, Parms(&parms));
    m_pOwner->SetOrderPosition(kNoOrderPosition);
    CCDPanelState& panel = m_pOwner->GetPanel();
    panel.m_strTitle.Empty();
    panel.m_strArtist.Empty();
    panel.m_bPaused = panel.m_bFastForward = panel.m_bRewind = panel.m_bPlaying = 0;
    m_pOwner->RedrawPanel();
    return TRUE;
}

BOOL CCDDevice::ToggleDoor() {
    if (!m_nDeviceId || !m_pOwner) return FALSE;
    if (m_pOwner->GetPanel().m_bPlaying) Stop();
    MCI_SET_PARMS set = {};
    if (m_bDoorOpen && mciSendCommandA(m_nDeviceId, MCI_SET, MCI_SET_DOOR_CLOSED, Parms(&set)) == 0) {
        m_bDoorOpen = 0;
        m_pOwner->ShowPanelMessage(0);
        return ReadDisc();
    }
    mciSendCommandA(m_nDeviceId, MCI_SET, MCI_SET_DOOR_OPEN, Parms(&set));
    m_bDoorOpen = 1;
    m_pOwner->ShowPanelMessage(IDS_CD_DOOR_OPEN);
    return TRUE;
}

BOOL CCDDevice::SeekPlay(int nTrack, int nSeconds) {
    if (!m_nDeviceId || !m_pOwner || nTrack <= 0 || nSeconds < 0) return FALSE;
    if (!SetTmsf()) return FALSE;
    return PlayToTrackEnd(nTrack, cddisc::PackTmsf(nTrack, nSeconds / 60, nSeconds % 60, 0));
}

int CCDDevice::PositionSeconds() {
    if (!m_nDeviceId) return 0;
    SetTmsf();
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (mciSendCommandA(m_nDeviceId, MCI_STATUS, MCI_STATUS_ITEM, Parms(&status))) return 0;
    const DWORD dwPosition = static_cast<DWORD>(status.dwReturn);
    return static_cast<int>(MCI_TMSF_MINUTE(dwPosition)) * 60 + static_cast<int>(MCI_TMSF_SECOND(dwPosition));
}

void CCDDevice::Poll() {
    if (!m_nDeviceId || !m_pOwner) return;
    const BOOL bPresent = IsMediaPresent();
    if (!m_bLoaded && bPresent) {
        // The unreadable disc read before stays told until another disc is in.
        if (m_bUnreadable && !IsOtherDisc()) return;
        ReadDisc();
        if (m_bUnreadable) return;
        MarkSelection();
        m_pOwner->ShowPanelMessage(0);
        g_bNoDiscShown = 0;
    } else if (!m_bLoaded) {
        if (g_bNoDiscShown) return;
        g_bNoDiscShown = 1;
        m_pOwner->GetPanel().Reset();
        m_pOwner->RedrawPanel();
        m_pOwner->ShowPanelMessage(IDS_CD_NO_DISC, DriveProblem());
    } else if (!bPresent) {
        // A disc the drive dropped for a read failure is told as an empty drive, with
        // the reason; one taken out, as an open tray.
        m_bLoaded = 0;
        const CString strProblem = DriveProblem();
        g_bNoDiscShown = strProblem.IsEmpty() ? 0 : 1;
        m_pOwner->ShowPanelMessage(strProblem.IsEmpty() ? IDS_CD_DOOR_OPEN : IDS_CD_NO_DISC, strProblem);
        ReadDisc();
    } else if (IsOtherDisc()) {
        // Another disc went in with no empty drive seen between: as if the first had
        // been taken out and the second put in.
        ReadDisc();
        if (m_bUnreadable) return;
        m_pOwner->ShowPanelMessage(0);
        g_bNoDiscShown = 0;
    }
}

CString CCDDevice::DriveProblem() {
    // Our stand-in says why its disc cannot be read; a drive's own driver does not.
    std::string text = orv::cd::ReadStandInValue(orv::cd::kDiscErrorValue);
    if (text.empty()) return CString();
    // The panel's line has room for a file's name, not for its folders.
    size_t open = text.find('"');
    while (open != std::string::npos) {
        size_t close = text.find('"', open + 1);
        if (close == std::string::npos) break;
        const size_t slash = text.find_last_of("\\/", close);
        if (slash != std::string::npos && slash > open) {
            text.erase(open + 1, slash - open);
            close -= slash - open;
        }
        open = text.find('"', close + 1);
    }
    return CString(text.c_str());
}
