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
    m_pDisplay = std::make_unique<CCDDisplay>(this);
    m_device.SetOwner(this);
    // Without a drive the player still runs; every device operation then does nothing.
    if (m_device.Open()) m_device.ReadDisc();
    SetTimer(kTickTimer, kTickMs);
    return TRUE;
}

void CCDPlayerDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kTickTimer) return;
    if (m_pDisplay->m_bPlaying) return;
    // The first ticks after start-up do not poll; every later idle tick does.
    if (m_nIdleTicks < kTicksBeforePoll) {
        ++m_nIdleTicks;
        return;
    }
    m_device.Poll();
}

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
