#include "MP3PlayerDlg.h"

#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinWindow.h"

namespace {

// A face piece covers the place where cddeck has its eject button.
const int kCoverX = 287;
const int kCoverY = 198;
const int kCoverSourceX = 194;
const int kCoverSourceY = 136;
const int kCoverSize = 23;

}  // namespace

BEGIN_MESSAGE_MAP(CMP3PlayerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_CD, OnSwitchToCd)
END_MESSAGE_MAP()

BOOL CMP3PlayerDlg::OnInitDialog() {
    SetWindowText(kMp3PlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    return TRUE;
}

void CMP3PlayerDlg::OnPaint() {
    CPaintDC dc(this);
    CSkinApp* pApp = GetSkinApp();
    CRect rcClient;
    GetClientRect(&rcClient);
    DrawSkinPiece(dc, pApp->m_bmpBackground, pApp->m_palBackground, 0, 0, rcClient.Width(), rcClient.Height(), 0, 0);
    DrawSkinPiece(dc, pApp->m_bmpFace, pApp->m_palFace, kCoverX, kCoverY, kCoverSize, kCoverSize, kCoverSourceX,
                  kCoverSourceY);
}

BOOL CMP3PlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

LRESULT CMP3PlayerDlg::OnShutdown(WPARAM, LPARAM) {
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CSkinApp* pApp = GetSkinApp();
    pApp->SavePosition(rcWindow.left, rcWindow.top);
    pApp->m_wndFrame.ShowWindow(SW_HIDE);
    DestroyWindow();
    ::PostQuitMessage(0);
    return 0;
}

void CMP3PlayerDlg::OnSwitchToCd() {
    GetSkinApp()->SwitchToSibling(this);
}
