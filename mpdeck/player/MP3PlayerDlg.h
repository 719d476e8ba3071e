// CMP3PlayerDlg: mpdeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "MP3Display.h"
#include "MixerVolume.h"
#include "Mp3Play.h"
#include "Mp3PlayerRes.h"
#include "SkinPlayerDlg.h"
#include "WaveDevice.h"
#include "WavePeaks.h"

class CPlaylistModel;
class CSongEntry;

class CMP3PlayerDlg : public CSkinPlayerDlg {
public:
    enum { IDD = IDD_MP3_PLAYER };

    // The player plays from the playlist it is given; the playlist outlives it.
    explicit CMP3PlayerDlg(CPlaylistModel& playlist) : m_playlist(playlist) {}

    // Fills length and WAVE details of every playlist entry from the devices.
    void MeasureEntries();
    // After the playlist has been loaded: its entries measured and its play mode shown.
    void TakeLoadedPlaylist();

    // Timers of the window.
    enum Timer : UINT_PTR { kTimerVolume = 1, kTimerWavePoll = 2, kTimerHold = 3, kTimerMeter = 4 };
    static constexpr UINT kVolumeShownMs = 3000;
    static constexpr UINT kMeterMs = 50;
    static constexpr UINT kVolumeStep = 4096;
    static constexpr UINT kVolumeMax = 65535;

    // The type of the entry with the current song number; WAVE when there is none.
    BOOL CurrentTypeIsMpeg() const;
    BOOL IsSongPlaying() const override;
    BOOL ReadPlayedPeaks(short& nLeft, short& nRight) override;
    // Volume up and down: the new value, shown on the LCD for three seconds.
    void ChangeVolume(BOOL bUp);
    // Timer 4 from the start of a song on.
    void StartLevelMeter();

    CWaveDevice m_waveDevice;
    std::unique_ptr<CMP3Display> m_pDisplay;
    int m_nIndex = -1;
    int m_nSongNumber = 0;
    CMp3Play m_mp3Play;
    int m_bVolumeShown = 0;
    CMixerVolume m_volume;
    std::unique_ptr<CLevelMeter> m_pMeter;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}

    // The default playlist, or the file given on the command line, then measured.
    void LoadStartupPlaylist(LPCSTR lpszCommandLine);
    void MeasureWave(CSongEntry& entry);
    void MeasureMpeg(CSongEntry& entry);

    void CreateHotspots();
    void EndVolumeDisplay();

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnHotspotClick(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToCd();

    CPlaylistModel& m_playlist;
    CRgn m_rgnWindow;
    CWavePeaks m_wavePeaks;  // the WAVE being played, read for the level meter

    DECLARE_MESSAGE_MAP()
};
