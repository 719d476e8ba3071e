#include "CDApp.h"

#include "Acd.h"
#include "Mp3Enc.h"
#include "ProgramNames.h"
#include "SkinMessages.h"
#include "TelmarIds.h"

// The encoder and ripper controls are named here, before InitInstance turns
// containment on.
CCDApp::CCDApp() : CSkinApp(kCdTitle, IDS_MPDECK_PROFILE_KEY, IDS_MP3_PLAYER_MISSING) {
    CMp3Enc::Register();
    CACD::Register();
}

BOOL CCDApp::InitInstance() {
    if (!CSkinApp::InitInstance()) return FALSE;
    TakeOverFromSibling(kMp3PlayerText);
    if (!m_dlgPlayer.Create(CCDPlayerDlg::IDD, &m_wndFrame)) return FALSE;
    ShowFrame();
    m_dlgPlayer.SetFocus();
    return TRUE;
}

CWnd* CCDApp::GetPlayerWindow() {
    return &m_dlgPlayer;
}

void CCDApp::RequestQuit() {
    if (m_dlgPlayer.m_hWnd) m_dlgPlayer.PostMessage(UM_SHUTDOWN);
}
