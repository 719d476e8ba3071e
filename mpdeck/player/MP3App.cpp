#include "MP3App.h"

#include "Mp3Enc.h"
#include "ProgramNames.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "TelmarIds.h"

namespace {

// Like the missing resource library, a missing MP3 control leaves no player to show.
const char kControlMissing[] =
    "Unable to execute application. ORVMP3PLAY.DLL is missing. Please re-install Orvanta again.";

}  // namespace

// The controls are named here, before InitInstance turns containment on.
CMP3App::CMP3App() : CSkinApp(kMp3Title, IDS_CDDECK_PROFILE_KEY, IDS_CD_PLAYER_MISSING), m_dlgPlayer(*this) {
    CMp3Play::Register();
    CMp3Enc::Register();
}

BOOL CMP3App::InitInstance() {
    if (!CSkinApp::InitInstance()) return FALSE;
    TakeOverFromSibling(kCdPlayerText);
    if (!fw::IsControlLoaded(CMp3Play::kClsid)) {
        ShowMessageText(nullptr, kControlMissing, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!m_dlgPlayer.Create(CMP3PlayerDlg::IDD, &m_wndFrame)) return FALSE;
    ShowFrame();
    m_dlgPlayer.SetFocus();
    return TRUE;
}

CWnd* CMP3App::GetPlayerWindow() {
    return &m_dlgPlayer;
}

void CMP3App::RequestQuit() {
    if (m_dlgPlayer.m_hWnd) m_dlgPlayer.PostMessage(UM_SHUTDOWN);
}

int CMP3App::ExitInstance() {
    m_songList.RemoveAll();
    return CSkinApp::ExitInstance();
}
