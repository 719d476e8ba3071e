#include "CDPlayerDlg.h"

#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinWindow.h"

BEGIN_MESSAGE_MAP(CCDPlayerDlg, CSkinPlayerDlg)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_MP3, OnSwitchToMp3)
END_MESSAGE_MAP()

BOOL CCDPlayerDlg::OnInitDialog() {
    SetWindowText(kCdPlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    m_device.SetOwner(this);
    // Without a drive the player still runs; every device operation then does nothing.
    if (m_device.Open()) m_device.ReadDisc();
    SetTimer(kTickTimer, kTickMs);
    return TRUE;
}

void CCDPlayerDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kTickTimer) return;
    if (m_panel.m_bPlaying) return;
    // The first ticks after start-up do not poll; every later idle tick does.
    if (m_nIdleTicks < kTicksBeforePoll) {
        ++m_nIdleTicks;
        return;
    }
    m_device.Poll();
}

void CCDPlayerDlg::RedrawPanel() {
    Invalidate(FALSE);
}

void CCDPlayerDlg::ShowPanelMessage(int nTextId) {
    m_panel.m_nMessage = nTextId;
    RedrawPanel();
}

BOOL CCDPlayerDlg::BuildStrip(int nTracks) {
    m_stripMarks.assign(static_cast<size_t>(nTracks > 0 ? nTracks : 0), 0);
    return TRUE;
}

void CCDPlayerDlg::SetStripMark(int nTrack, BOOL bOn) {
    if (nTrack < 1 || nTrack > static_cast<int>(m_stripMarks.size())) return;
    m_stripMarks[static_cast<size_t>(nTrack - 1)] = bOn ? 1 : 0;
}

void CCDPlayerDlg::OnPaint() {
    CPaintDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, 0, 0, rcClient.Width(), rcClient.Height(), 0, 0);
}

BOOL CCDPlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

LRESULT CCDPlayerDlg::OnShutdown(WPARAM, LPARAM) {
    Close();
    return 0;
}

void CCDPlayerDlg::Close() {
    GetSkinApp()->EndPlayer(this);
}

void CCDPlayerDlg::OnSwitchToMp3() {
    GetSkinApp()->SwitchToSibling(this);
}
