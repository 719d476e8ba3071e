// CMP3App: mpdeck's application object. It owns the player window and the current
// playlist.
#pragma once

#include "SkinApp.h"

#include "MP3PlayerDlg.h"

class CMP3App : public CSkinApp {
public:
    CMP3App();

    BOOL InitInstance() override;
    CWnd* GetPlayerWindow() override;
    void RequestQuit() override;

    CMP3PlayerDlg m_dlgPlayer;
    CString m_strPlaylistName;  // its section in the playlist file
    int m_bPlaylistModified = 0;
};
