// CMP3PlayerDlg: mpdeck's skinned, region-shaped player window (template 801). It
// plays the application's playlist, MP3 files through the MP3 control and the rest
// through the WAVE device; CMP3Transport chooses the songs, this window plays them.
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "ID3Tag.h"
#include "MP3Display.h"
#include "MP3Transport.h"
#include "MixerVolume.h"
#include "PlayerLink.h"
#include "Mp3Play.h"
#include "Mp3PlayerRes.h"
#include "SkinPlayerDlg.h"
#include "WaveDevice.h"
#include "WavePeaks.h"

class CMPPropSheet;
class CPlaylistModel;
class CSongEntry;

class CMP3PlayerDlg : public CSkinPlayerDlg, public CPlayerLink {
public:
    enum { IDD = IDD_MP3_PLAYER };

    // The player plays from the playlist it is given; the playlist outlives it.
    explicit CMP3PlayerDlg(CPlaylistModel& playlist) : m_transport(playlist), m_playlist(playlist) {}

    CPlaylistModel& Playlist() { return m_playlist; }

    // Fills length and WAVE details of every playlist entry from the devices.
    void MeasureEntries();
    // After the playlist has been loaded: its entries measured and its play mode shown.
    void TakeLoadedPlaylist() override;

    // Timers of the window.
    enum Timer : UINT_PTR { kTimerVolume = 1, kTimerWavePoll = 2, kTimerHold = 3, kTimerMeter = 4 };
    static constexpr UINT kVolumeShownMs = 3000;
    static constexpr UINT kWavePollMs = 330;
    static constexpr UINT kSeekStepMs = 75;
    static constexpr UINT kHoldMs = 500;
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

    // The transport's commands, as the hotspots and the events run them.
    void Play();
    void Pause();
    void Stop();
    void Previous();
    void Next();
    void EndOfSong();
    void SelectSong();
    void OpenSheet();
    // Called by the sheet once its window is gone.
    void SheetDestroyed();

    // What the sheet's pages reach of the player.
    BOOL IsPlayerPlaying() const override { return IsSongPlaying(); }
    BOOL IsPlayerLocked() const override { return m_bPlayerLock != 0; }
    void SetPlayerLock(BOOL bLock) override { m_bPlayerLock = bLock ? 1 : 0; }
    // The page changed the list: the song queued to follow may be another now.
    void SetPlayerRestart() override {
        m_transport.m_bRestart = 1;
        QueueFollowing();
    }
    int GetPlayMode() const override;
    void ChangePlayMode(int nMode) override;
    CWaveDevice& GetWaveDevice() override { return m_waveDevice; }

    // The browser's open command with a page appended, quoted for blanks in the path.
    static CString BrowserCommandFor(const CString& strCommand, const CString& strPage);

    CWaveDevice m_waveDevice;
    std::unique_ptr<CMP3Display> m_pDisplay;
    CID3Tag m_tag;
    // Mode changed, pass mode, restart, index, song number and transport state.
    CMP3Transport m_transport;
    // Set by a page while it uses the MP3 control or the audio device for itself.
    int m_bPlayerLock = 0;
    CMp3Play m_mp3Play;
    CString m_strMp3Path;
    CMPPropSheet* m_pSheet = nullptr;
    int m_bSheetOpen = 0;
    int m_bVolumeShown = 0;
    int m_nSeekPosition = 0;
    int m_bHoldArmed = 0;
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

    void EndVolumeDisplay();

    // Starts the song the transport has chosen; FALSE (after a message) when it cannot.
    BOOL StartSong(BOOL bTellSheet);
    BOOL StartWave(const CSongEntry& entry);
    BOOL StartMpeg(const CSongEntry& entry);
    // Title, artist and format lines of the MP3 the control has open.
    void ShowMpegSong(const CSongEntry& entry);
    void QueueFollowing();
    void FailSong(UINT nMessageId, const CString& strPath);
    // Stops the current song so that its end-of-song path follows (Previous, Next).
    void CutCurrentSong();
    BOOL IsSeeking() const;
    void BeginHoldSeek();
    void StepHoldSeek();
    void EndHoldSeek();
    void PollWave();
    void ResetMeter();
    void CycleMode();
    void ShowHelp();
    void ShowPlayerMenu();
    void ShowAbout();
    void Exit();
    // What every way out shares: no sheet, no device, no timer.
    void ReleaseAll();
    // An open playlist page's edits join the model before anything asks about it or
    // saves it.
    void CommitPlaylistPage();
    CString TitleFromPath(const CString& strPath) const;
    void ApplySongNumberRule();

    void OnHotspotPressed(UINT nId) override;
    BOOL OnHotspotReleased(UINT nId) override;

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnRButtonDown(UINT nFlags, CPoint point);
    LRESULT OnHotspotClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToCd();
    void OnMp3Position(long nFrame);
    void OnMp3End();
    // The control plays the queued song now.
    void OnMp3Next();

    CPlaylistModel& m_playlist;
    CRgn m_rgnWindow;
    CWavePeaks m_wavePeaks;  // the WAVE being played, read for the level meter

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};
