#include "MP3PlayerDlg.h"

#include "PlaylistModel.h"
#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinApp.h"
#include "SkinMessages.h"
#include "SkinLayout.h"
#include "SkinWindow.h"

namespace {


const char kDefPlaylistKey[] = "DefPList";

}  // namespace

BEGIN_MESSAGE_MAP(CMP3PlayerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
    ON_COMMAND(ID_SWITCH_TO_CD, OnSwitchToCd)
END_MESSAGE_MAP()

BOOL CMP3PlayerDlg::OnInitDialog() {
    m_pDisplay = std::make_unique<CMP3Display>(this);
    SetWindowText(kMp3PlayerText);
    CSkinApp* pApp = GetSkinApp();
    int x = 0, y = 0;
    pApp->GetSavedPosition(x, y);
    ShapePlayerWindow(*this, pApp->m_bmpBackground, m_rgnWindow, x, y);
    m_mp3Play.SubclassDlgItem(IDC_MP3PLAY_CONTROL, this);
    LoadStartupPlaylist(pApp->m_lpCmdLine);
    m_waveDevice.m_pOwner = this;
    return TRUE;
}

// The shell quotes a path with blanks when it starts us with a file; the quotes are
// not part of the path.
static CString CommandLineFile(LPCSTR lpszCommandLine) {
    CString strFile = lpszCommandLine;
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
}

BOOL CMP3PlayerDlg::OnEraseBkgnd(CDC*) {
    // The skin covers the whole client area.
    return TRUE;
}

LRESULT CMP3PlayerDlg::OnShutdown(WPARAM, LPARAM) {
    GetSkinApp()->EndPlayer(this);
    return 0;
}

void CMP3PlayerDlg::OnSwitchToCd() {
    GetSkinApp()->SwitchToSibling(this);
}
