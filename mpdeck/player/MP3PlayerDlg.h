// CMP3PlayerDlg: mpdeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "MP3Display.h"
#include "Mp3Play.h"
#include "Mp3PlayerRes.h"
#include "WaveDevice.h"

class CPlaylistModel;
class CSongEntry;

class CMP3PlayerDlg : public CDialog {
public:
    enum { IDD = IDD_MP3_PLAYER };

    // The player plays from the playlist it is given; the playlist outlives it.
    explicit CMP3PlayerDlg(CPlaylistModel& playlist) : m_playlist(playlist) {}

    // Fills length and WAVE details of every playlist entry from the devices.
    void MeasureEntries();
    // After the playlist has been loaded: its entries measured and its play mode shown.
    void TakeLoadedPlaylist();

    CWaveDevice m_waveDevice;
    std::unique_ptr<CMP3Display> m_pDisplay;
    CMp3Play m_mp3Play;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}

    // The default playlist, or the file given on the command line, then measured.
    void LoadStartupPlaylist(LPCSTR lpszCommandLine);
    void MeasureWave(CSongEntry& entry);
    void MeasureMpeg(CSongEntry& entry);

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToCd();

    CPlaylistModel& m_playlist;
    CRgn m_rgnWindow;

    DECLARE_MESSAGE_MAP()
};
