#include "CDPlayerDlg.h"

#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinWindow.h"

BEGIN_MESSAGE_MAP(CCDPlayerDlg, CSkinPlayerDlg)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_MP3, OnSwitchToMp3)
END_MESSAGE_MAP()

BOOL CCDPlayerDlg::OnInitDialog() {
    SetWindowText(kCdPlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    return TRUE;
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
