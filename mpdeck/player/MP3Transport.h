// CMP3Transport: the player's choices of what plays next, without any window. It
// walks the playlist in list order or in the playlist's shuffle order, keeps the pass
// mode that tells a change of the shuffle bit during a pass, and answers Play, end of
// song, Previous, Next, Stop, Select Song and mode changes with the song to start.
// The player window owns one and does the playing itself.
#pragma once

#include "PlayMode.h"
#include "PlaylistModel.h"

class CMP3Transport {
public:
    static constexpr int kNoIndex = -1;
    static constexpr int kNoSong = 0;
    static constexpr int kRunning = 2;
    static constexpr int kStopped = 0;
    // Previous restarts the current song once this much of it has played.
    static constexpr int kRestartSeconds = 3;

    explicit CMP3Transport(CPlaylistModel& playlist) : m_playlist(playlist) {}
    CMP3Transport(const CMP3Transport&) = delete;
    CMP3Transport& operator=(const CMP3Transport&) = delete;

    // The 1-based song number at a position of the play order; kNoSong when the
    // position or its shuffle slot names no entry.
    int SongNumberAt(int nIndex, int nPlayMode) const;

    // Play from a stopped transport: the song to start (index and song number set), or
    // kNoSong when there is nothing to play.
    int ChooseForPlay(int nPlayMode, bool bResume);
    // The end of a song: the next song to start, or kNoSong to stop.
    int Advance(int nPlayMode);
    // Previous while playing: false when it is ignored; else the index is set so
    // that the end of song that follows plays the previous (or the same) song.
    bool StepBack(int nPlayMode, int nElapsedSeconds);
    // Next while playing: false on the last song without the loop bit.
    bool CanStepForward(int nPlayMode) const;
    // Select Song of entry nEntry: while playing, the index is set so that the end
    // of song that follows plays it (returns kNoSong); else the song to start.
    int Select(int nEntry, bool bPlaying, int nPlayMode);
    // The mode hotspot, before the new mode is set.
    void ModeChanging(int nOldMode, bool bPlaying, bool bResume);
    void Stopped(int nPlayMode);

    // The song the end of the current one leads to, when that is already certain (no
    // shuffle change pending, no reshuffle at a wrap): it is remembered as the
    // following song and returned; otherwise kNoSong and nothing is remembered.
    int ChooseFollowing(int nPlayMode);
    // The following song has begun to sound: it becomes the current one. False when
    // none was chosen.
    bool EnterFollowing();
    void DropFollowing() { m_nFollowingIndex = kNoIndex; }
    int FollowingSong() const { return m_nFollowingIndex == kNoIndex ? kNoSong : m_nFollowingSong; }

    // One step of a hold-seek, in seconds: back stops at 0, forward at the length.
    static int SeekStep(int nPosition, bool bForward, int nLength);

    int m_bModeChanged = 0;
    int m_nPassMode = 1;
    int m_bRestart = 0;
    int m_nIndex = kNoIndex;
    int m_nSongNumber = kNoSong;
    int m_nState = kStopped;
    int m_nFollowingIndex = kNoIndex;
    int m_nFollowingSong = kNoSong;

private:
    int Count() const { return m_playlist.m_songList.GetCount(); }
    // A pass that starts now follows the mode in force.
    void BeginPass(int nPlayMode);
    int SettleAt(int nIndex, int nPlayMode);

    CPlaylistModel& m_playlist;
};
