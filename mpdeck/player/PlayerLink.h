// CPlayerLink: what the property sheet's pages need of the player window, without
// knowing it: its playing state, its lock, and for the playlist page its restart
// flag, play mode and WAVE device. The player window implements it.
#pragma once

#include <windows.h>

class CWaveDevice;

class CPlayerLink {
public:
    virtual ~CPlayerLink() = default;
    // The display shows a song playing.
    virtual BOOL IsPlayerPlaying() const = 0;
    // Set while a page uses the MP3 control or the audio device: an audition or a batch.
    virtual BOOL IsPlayerLocked() const = 0;
    virtual void SetPlayerLock(BOOL bLock) = 0;
    // The next Play starts from the first entry even when Resume is on.
    virtual void SetPlayerRestart() = 0;
    // The display's play mode (1, 2, 5 or 6).
    virtual int GetPlayMode() const = 0;
    // A mode chosen on a page: takes effect as if the player's mode button had chosen
    // it (while a song plays, the pass in progress keeps the mode it started with).
    virtual void ChangePlayMode(int nMode) = 0;
    // A list the model has just loaded (the Open Playlist dialog): its entries are
    // measured and its play mode goes to the display.
    virtual void TakeLoadedPlaylist() = 0;
    // The player's WAVE device, which measures WAVE files for the playlist page.
    virtual CWaveDevice& GetWaveDevice() = 0;
};

// A page of the player's sheet: told, while it is the active page, that the player
// started or stopped playing.
class CPlayerPage {
public:
    virtual ~CPlayerPage() = default;
    virtual void PlayingChanged(BOOL bPlaying) = 0;
};
