#include "MainFrame.h"

#include "SkinApp.h"

namespace {

// Off screen, whatever the caller asked for.
const int kFrameX = -200;
const int kFrameY = -40;

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CLOSE()
    ON_WM_ACTIVATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    cs.cx = 0;
    cs.cy = 0;
    cs.x = kFrameX;
    cs.y = kFrameY;
    cs.style &= ~WS_MAXIMIZEBOX;
    return TRUE;
}

void CMainFrame::OnClose() {
    // The taskbar's close command ends the program the way the sibling asks it to;
    // the frame itself stays until the application has saved its state.
    GetSkinApp()->RequestQuit();
}

void CMainFrame::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CFrameWnd::OnActivate(nState, pWndOther, bMinimized);
    if (nState != WA_ACTIVE && nState != WA_CLICKACTIVE) return;
    CWnd* pPlayer = GetSkinApp()->GetPlayerWindow();
    if (pPlayer && pPlayer->m_hWnd) pPlayer->SetFocus();
}

void CMainFrame::MinimizeToTaskbar() {
    ShowWindow(SW_HIDE);
    ShowWindow(SW_MINIMIZE);
    // Windows hides the owned windows of a minimized owner by itself, Wine does not.
    ::ShowOwnedPopups(m_hWnd, FALSE);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy) {
    CFrameWnd::OnSize(nType, cx, cy);
    // Restored from the taskbar: the player window comes back with its owner.
    if (nType != SIZE_MINIMIZED) ::ShowOwnedPopups(m_hWnd, TRUE);
}
