// CMP3App: mpdeck's application object. It owns the player window and the current
// playlist.
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

    // The play mode lives in the player's display; 1 until the display exists.
    int GetPlayMode() override;
    void SetPlayMode(int nMode) override;
    void MeasurePlaylist() override;

    CMP3PlayerDlg m_dlgPlayer;
};
