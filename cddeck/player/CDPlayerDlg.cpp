#include "CDPlayerDlg.h"

#include "CDAboutDlg.h"
#include "CommandLine.h"
#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinLayout.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "SkinWindow.h"
#include "TelmarIds.h"

namespace {

// Hit-test order, with the tips.
const CSkinPlayerDlg::HotspotTip kHotspotTips[] = {
    {skin::kHotExit, IDS_TIP_EXIT},           {skin::kHotMinimize, IDS_TIP_MINIMIZE},
    {skin::kHotHelp, IDS_TIP_HELP},           {skin::kHotAbout, IDS_TIP_ABOUT_CD},
    {skin::kHotVolumeUp, IDS_TIP_VOLUME_UP},  {skin::kHotVolumeDown, IDS_TIP_VOLUME_DOWN},
    {skin::kHotPause, IDS_TIP_PAUSE},         {skin::kHotStop, IDS_TIP_STOP},
    {skin::kHotEject, IDS_TIP_EJECT},         {skin::kHotSheet, IDS_TIP_SHEET_CD},
    {skin::kHotMode, IDS_TIP_MODE_CD},        {skin::kHotPlayerMenu, IDS_TIP_SWITCH_TO_MP3},
    {skin::kHotPlay, IDS_TIP_PLAY},           {skin::kHotPrevious, IDS_TIP_PREVIOUS},
    {skin::kHotNext, IDS_TIP_NEXT},
};

BOOL IsHoldHotspot(UINT nId) {
    return nId == skin::kHotVolumeDown || nId == skin::kHotVolumeUp || nId == skin::kHotPrevious ||
           nId == skin::kHotNext;
}

// Where the player menu opens, from the right top of its hotspot's hit region.
const int kMenuLeftOfRight = 10;
const int kMenuBelowTop = 3;

}  // namespace

BEGIN_MESSAGE_MAP(CCDPlayerDlg, CSkinPlayerDlg)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(UM_HOTSPOTCLICK, OnHotspotClick)
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_MP3, OnSwitchToMp3)
END_MESSAGE_MAP()

CCDPlayerDlg::CCDPlayerDlg() = default;

CCDPlayerDlg::~CCDPlayerDlg() {
    // A sheet still open outlives no player: it is told nothing more.
    if (m_pSheet && m_pSheet->m_hWnd) m_pSheet->DestroyWindow();
}

BOOL CCDPlayerDlg::OnInitDialog() {
    SetWindowText(kCdPlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    CreateHotspots(kHotspotTips);
    m_pDisplay = std::make_unique<CCDDisplay>(this);
    m_pDisplay->m_strip.Build(0);
    InitVolume();
    m_device.SetOwner(this);
    // Without a drive the player still runs; every device operation then does nothing.
    if (m_device.Open()) m_device.ReadDisc();
    SetTimer(kTimerTick, kTickMs);
    return TRUE;
}

void CCDPlayerDlg::InitVolume() {
    // Without a compact-disc line (Wine has none) the drive's sound reaches the output
    // through the wave-out line, as mpdeck's does.
    if (m_volume.Init(CMixerVolume::kCompactDisc) == MMSYSERR_NOERROR) return;
    m_volume.Init(CMixerVolume::kWaveOut);
}

CCDPropSheet* CCDPlayerDlg::MakeSheet() {
    return new CCDPropSheet(this);
}

// --- painting and the mouse ------------------------------------------------------------

void CCDPlayerDlg::OnPaint() {
    CPaintDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, 0, 0, rcClient.Width(), rcClient.Height(), 0, 0);
    if (m_pDisplay) m_pDisplay->RedrawAll(&dc);
}

BOOL CCDPlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

void CCDPlayerDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if (m_pDisplay && !HitTest(point)) {
        CTrackStrip& strip = m_pDisplay->m_strip;
        if (strip.PressArrow(point)) return;
        if (const int nTrack = strip.HitTest(point)) {
            PlayChosenTrack(nTrack);
            return;
        }
    }
    CSkinPlayerDlg::OnLButtonDown(nFlags, point);
}

void CCDPlayerDlg::OnMouseMove(UINT nFlags, CPoint point) {
    CSkinPlayerDlg::OnMouseMove(nFlags, point);
    if (!m_pDisplay || (nFlags & MK_LBUTTON)) return;
    const CTrackStrip& strip = m_pDisplay->m_strip;
    const BOOL bArrow = (strip.InLeftArrow(point) && strip.CanScrollLeft()) ||
                        (strip.InRightArrow(point) && strip.CanScrollRight());
    if (bArrow || strip.HitTest(point)) ::SetCursor(GetSkinApp()->m_hHandCursor);
}

void CCDPlayerDlg::OnHotspotPressed(UINT nId) {
    if (!IsHoldHotspot(nId)) return;
    SetTimer(kTimerHold, kHoldMs);
    m_bHoldTimerRunning = 1;
}

BOOL CCDPlayerDlg::OnHotspotReleased(UINT) {
    if (m_bHoldTimerRunning) {
        KillTimer(kTimerHold);
        m_bHoldTimerRunning = 0;
    }
    if (!m_pDisplay->m_bPlaying || !IsScanning()) return FALSE;
    EndScan();
    return TRUE;
}

LRESULT CCDPlayerDlg::OnHotspotClick(WPARAM wParam, LPARAM) {
    ::SetCursor(GetSkinApp()->m_hHandCursor);
    switch (wParam) {
    case skin::kHotExit: Close(); break;
    case skin::kHotMinimize: GetSkinApp()->m_wndFrame.MinimizeToTaskbar(); break;
    case skin::kHotHelp: ShowHelp(); break;
    case skin::kHotAbout: {
        CCDAboutDlg about(this);
        about.DoModal();
        break;
    }
    case skin::kHotVolumeUp: ChangeVolume(TRUE); break;
    case skin::kHotVolumeDown: ChangeVolume(FALSE); break;
    case skin::kHotPause: Pause(); break;
    case skin::kHotStop: Stop(); break;
    case skin::kHotEject: Eject(); break;
    case skin::kHotSheet: OpenSheet(); break;
    case skin::kHotMode: ChangeMode(); break;
    case skin::kHotPlayerMenu: ShowPlayerMenu(); break;
    case skin::kHotPlay: Play(); break;
    case skin::kHotPrevious: Previous(); break;
    case skin::kHotNext: Next(); break;
    default: break;
    }
    return 0;
}

// --- timers ------------------------------------------------------------------------------

void CCDPlayerDlg::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
    case kTimerVolume:
        EndVolumeDisplay();
        break;
    case kTimerTick:
        Tick();
        break;
    case kTimerHold:
        KillTimer(kTimerHold);
        m_bHoldTimerRunning = 0;
        if (m_pDisplay->m_bPlaying && (m_nPressedHotspot == skin::kHotPrevious || m_nPressedHotspot == skin::kHotNext)) {
            StartScan(m_nPressedHotspot);
        }
        break;
    default:
        break;
    }
}

void CCDPlayerDlg::Tick() {
    CCDDisplay& panel = *m_pDisplay;
    if (panel.m_bRewind) {
        if (m_nScanSeconds > 0) --m_nScanSeconds;
        panel.m_nElapsed = m_nScanSeconds;
        panel.DrawElapsed();
        return;
    }
    if (panel.m_bFastForward) {
        if (m_nScanSeconds < panel.m_nLength) ++m_nScanSeconds;
        panel.m_nElapsed = m_nScanSeconds;
        panel.DrawElapsed();
        return;
    }
    if (panel.m_bPlaying) {
        panel.m_nElapsed = m_device.PositionSeconds();
        panel.DrawElapsed();
        Blink();
        return;
    }
    // The first ticks after start-up do not poll; every later idle tick does.
    if (m_nIdleTicks < kTicksBeforePoll) {
        ++m_nIdleTicks;
        return;
    }
    m_device.Poll();
}

void CCDPlayerDlg::Blink() {
    if (m_nBlinkCount < 1) {
        ++m_nBlinkCount;
        return;
    }
    m_pDisplay->m_strip.Blink(nullptr, m_pDisplay->m_nCurrentTrack, m_nBlinkPhase);
    m_nBlinkCount = 0;
    m_nBlinkPhase = !m_nBlinkPhase;
}

void CCDPlayerDlg::StartScan(UINT nHotspot) {
    CCDDisplay& panel = *m_pDisplay;
    m_device.Pause();
    panel.m_bPaused = 1;
    panel.m_bPlaying = 0;
    panel.DrawIndicator(CCDDisplay::kIndicatorPlay);
    panel.DrawIndicator(CCDDisplay::kIndicatorPause);
    panel.m_bPlaying = 1;
    m_nScanSeconds = panel.m_nElapsed;
    KillTimer(kTimerTick);
    if (nHotspot == skin::kHotPrevious) {
        panel.m_bRewind = 1;
        panel.DrawIndicator(CCDDisplay::kIndicatorRewind);
    } else {
        panel.m_bFastForward = 1;
        panel.DrawIndicator(CCDDisplay::kIndicatorForward);
    }
    SetTimer(kTimerTick, kScanTickMs);
}

void CCDPlayerDlg::EndScan() {
    CCDDisplay& panel = *m_pDisplay;
    // The request this play replaces reports itself superseded; it must not stop us.
    m_transport.SetLastAction(CCDTransport::kActionPlay);
    m_device.SeekPlay(panel.m_nCurrentTrack, m_nScanSeconds);
    panel.m_bPaused = 0;
    panel.DrawIndicator(CCDDisplay::kIndicatorPause);
    panel.m_bPlaying = 1;
    panel.DrawIndicator(CCDDisplay::kIndicatorPlay);
    KillTimer(kTimerTick);
    const int nIndicator = panel.m_bRewind ? CCDDisplay::kIndicatorRewind : CCDDisplay::kIndicatorForward;
    panel.m_bRewind = panel.m_bFastForward = 0;
    panel.DrawIndicator(nIndicator);
    m_nPressedHotspot = 0;
    SetTimer(kTimerTick, kAfterScanTickMs);
}

// --- transport ---------------------------------------------------------------------------

void CCDPlayerDlg::RefuseWhileBusy(UINT nTextId) {
    ShowMessage(this, nTextId, MB_OK | MB_ICONINFORMATION);
}

void CCDPlayerDlg::NotifySheetPlaying() {
    if (m_bSheetOpen && m_pSheet) m_pSheet->NotifyPlaying(m_pDisplay->m_bPlaying);
}

void CCDPlayerDlg::Play() {
    if (IsSheetBusy()) {
        RefuseWhileBusy(IDS_PLAY_BUSY);
        return;
    }
    CCDDisplay& panel = *m_pDisplay;
    if (panel.m_bPlaying) {
        if (!panel.m_bPaused) return;
        if (!m_device.Resume()) return;
        panel.m_bPaused = 0;
        panel.DrawIndicator(CCDDisplay::kIndicatorPause);
        m_transport.SetLastAction(CCDTransport::kActionPlay);
        return;
    }
    if (m_disc.m_nTrackCount < 1) return;
    const int nTrack = m_transport.BeginPlay();
    if (nTrack < 1 || !m_device.PlayTrack(nTrack)) return;
    NotifySheetPlaying();
}

void CCDPlayerDlg::Pause() {
    CCDDisplay& panel = *m_pDisplay;
    if (!panel.m_bPlaying || panel.m_bPaused) return;
    m_device.Pause();
    panel.m_bPaused = 1;
    panel.DrawIndicator(CCDDisplay::kIndicatorPause);
    m_transport.SetLastAction(CCDTransport::kActionPlay);
}

void CCDPlayerDlg::Stop() {
    if (!m_pDisplay->m_bPlaying) return;
    m_transport.Stop();
    // The device's Stop clears the flags, title and artist and redraws the panel.
    if (m_device.Stop()) NotifySheetPlaying();
}

void CCDPlayerDlg::Next() {
    if (!m_pDisplay->m_bPlaying) return;
    const int nTrack = m_transport.Next();
    if (nTrack == CCDTransport::kNoTrack) return;
    m_device.PlayTrack(nTrack);
}

void CCDPlayerDlg::Previous() {
    CCDDisplay& panel = *m_pDisplay;
    if (!panel.m_bPlaying) return;
    const CCDTransport::CPreviousStep step = m_transport.Previous(panel.m_nCurrentTrack, panel.m_nElapsed);
    if (step.m_kind == CCDTransport::CPreviousStep::kNone) return;
    if (step.m_kind == CCDTransport::CPreviousStep::kBack && !m_device.Stop()) return;
    if (!m_device.PlayTrack(step.m_nTrack)) return;
    m_transport.SetOrderPosition(step.m_nPosition);
}

void CCDPlayerDlg::PlayChosenTrack(int nTrack) {
    if (nTrack < 1 || nTrack > m_disc.m_nTrackCount) return;
    // The extractor reads the drive: a play now would disturb it, as Play would.
    if (IsSheetBusy()) {
        RefuseWhileBusy(IDS_PLAY_BUSY);
        return;
    }
    m_transport.ChooseTrack(nTrack);
    if (m_device.PlayTrack(nTrack)) NotifySheetPlaying();
}

void CCDPlayerDlg::Eject() {
    if (IsSheetBusy()) {
        RefuseWhileBusy(IDS_EJECT_BUSY);
        return;
    }
    if (m_pDisplay->m_bPlaying) m_transport.Stop();
    const BOOL bWasPlaying = m_pDisplay->m_bPlaying;
    m_device.ToggleDoor();
    if (bWasPlaying) NotifySheetPlaying();
}

static_assert(CCDTransport::kNotifySuccessful == MCI_NOTIFY_SUCCESSFUL && CCDTransport::kNotifyFailure == MCI_NOTIFY_FAILURE,
              "the transport reads the drive's notification codes");

LRESULT CCDPlayerDlg::OnMciNotify(WPARAM wParam, LPARAM) {
    const CCDDisplay& panel = *m_pDisplay;
    const unsigned nCode = static_cast<unsigned>(wParam);
    const bool bRunning = panel.m_bPlaying && !panel.m_bPaused && !IsScanning();
    // Only a success needs the drive's word: a newer request may already run.
    const bool bDevicePlaying = bRunning && nCode == CCDTransport::kNotifySuccessful && m_device.IsPlaying();
    const CCDTransport::CEndStep step = m_transport.PlayEnded(nCode, bRunning, bDevicePlaying);
    if (step.m_kind == CCDTransport::CEndStep::kPlay) {
        m_device.PlayTrack(step.m_nTrack);
    } else if (step.m_kind == CCDTransport::CEndStep::kStop) {
        Stop();
    }
    return 0;
}

void CCDPlayerDlg::ChangeMode() {
    const int nMode = m_transport.ChangeMode(m_pDisplay->m_bPlaying != 0);
    m_disc.m_nMode = nMode;
    m_pDisplay->m_nMode = nMode;
    if (!m_bVolumeShown) m_pDisplay->DrawMode();
    if (m_bSheetOpen && m_pSheet) m_pSheet->NotifyPlayMode(nMode);
}

void CCDPlayerDlg::ChangeVolume(BOOL bUp) {
    const UINT v = m_volume.GetVolume();
    UINT nNew = 0;
    if (bUp) nNew = v > kVolumeMax - kVolumeStep ? kVolumeMax : v + kVolumeStep;
    else nNew = v < kVolumeStep + 1 ? 0 : v - kVolumeStep;
    m_volume.SetVolume(nNew);
    SetTimer(kTimerVolume, kVolumeShownMs);
    m_bVolumeShown = 1;
    m_pDisplay->ShowVolume(static_cast<int>(nNew >> kVolumeLevelShift));
}

void CCDPlayerDlg::EndVolumeDisplay() {
    KillTimer(kTimerVolume);
    m_bVolumeShown = 0;
    // Repaints the skin under the bar and the whole panel, so the mode field returns.
    m_pDisplay->HideVolume();
}

// --- sheet, menu, help, end ----------------------------------------------------------------

void CCDPlayerDlg::OpenSheet() {
    if (m_bSheetOpen && m_pSheet) {
        m_pSheet->SetFocus();
        return;
    }
    // The sheet deletes itself once a window was made (its destruction clears
    // m_pSheet); a sheet that never had one is still ours to delete.
    m_pSheet = MakeSheet();
    if (!m_pSheet->Open(this)) {
        delete m_pSheet;
        m_pSheet = nullptr;
        ShowMessage(this, IDS_SHEET_CREATE_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_bSheetOpen = 1;
}

void CCDPlayerDlg::OnSheetDestroyed() {
    m_pSheet = nullptr;
    m_bSheetOpen = 0;
    if (m_pDisplay && m_hWnd) m_pDisplay->RedrawAll();
}

void CCDPlayerDlg::SetPlayMode(int nMode) {
    m_transport.NoteModeChange(m_pDisplay->m_bPlaying != 0);
    m_disc.m_nMode = nMode;
    m_pDisplay->m_nMode = nMode;
}

void CCDPlayerDlg::OnSelectionChanged() {
    for (int nTrack = 1; nTrack <= m_disc.m_nTrackCount; ++nTrack)
        m_pDisplay->m_strip.SetMark(nTrack, m_disc.IsSelected(nTrack));
}

void CCDPlayerDlg::OnTitlesChanged() {
    const int nIndex = m_pDisplay->m_nCurrentTrack - 1;
    if (nIndex >= 0 && nIndex < static_cast<int>(m_disc.m_tracks.size()))
        m_pDisplay->m_strTitle = m_disc.TrackAt(nIndex)->GetTitle();
    m_pDisplay->m_strArtist = m_disc.m_strArtist;
}

void CCDPlayerDlg::ReclaimDevice() {
    if (!m_device.GetDeviceId()) m_device.Open();
}

void CCDPlayerDlg::OnDiscRead() {
    if (m_bSheetOpen && m_pSheet) m_pSheet->NotifyDiscChanged();
}

void CCDPlayerDlg::ShowPlayerMenu() {
    CMenu menu;
    if (!menu.LoadMenu(IDR_PLAYER_MENU)) return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup) return;
    GetSkinApp()->EnableSiblingItem(pPopup, ID_SWITCH_TO_MP3);
    const skin::Hotspot* pLayout = skin::FindLayout(skin::kHotPlayerMenu);
    CPoint pt(pLayout->region.right - kMenuLeftOfRight, pLayout->region.top + kMenuBelowTop);
    ClientToScreen(&pt);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
}

void CCDPlayerDlg::OnSwitchToMp3() {
    GetSkinApp()->SwitchToSibling(this);
}

void CCDPlayerDlg::ShowHelp() {
    CSkinApp* pApp = GetSkinApp();
    CString strDir, strCommand;
    pApp->GetHelpDir(strDir);
    if (!pApp->GetBrowserCommand(strCommand)) {
        ShowMessage(this, IDS_NO_BROWSER, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const CString strPage = strDir + LoadText(IDS_CD_HELP_FILE);
    ::WinExec(cdcmd::AppendArgument(strCommand.GetString(), strPage.GetString()).c_str(), SW_SHOWNORMAL);
}

LRESULT CCDPlayerDlg::OnShutdown(WPARAM, LPARAM) {
    End();
    return 0;
}

void CCDPlayerDlg::Close() {
    // Exit asks what the sheet's own Close asks: a rip under way is the user's to stop.
    if (m_pSheet && m_pSheet->m_hWnd && !m_pSheet->QueryEnd()) return;
    End();
}

void CCDPlayerDlg::End() {
    if (m_pSheet && m_pSheet->m_hWnd) m_pSheet->DestroyWindow();
    if (m_pDisplay && m_pDisplay->m_bPlaying) Stop();
    KillTimer(kTimerTick);
    GetSkinApp()->EndPlayer(this);
}
