// CMP3App: mpdeck's application object. It owns the player window and the current
// playlist, which the player window is given to play from.
#pragma once

#include "SkinApp.h"

#include "MP3PlayerDlg.h"
#include "PlaylistModel.h"

class CMP3App : public CSkinApp, public CPlaylistModel {
public:
    CMP3App();

    BOOL InitInstance() override;
    int ExitInstance() override;
    CWnd* GetPlayerWindow() override;
    void RequestQuit() override;

    CMP3PlayerDlg m_dlgPlayer;
};
