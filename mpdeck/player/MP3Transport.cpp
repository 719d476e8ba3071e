#include "MP3Transport.h"

#include <algorithm>

using playmode::HasLoop;
using playmode::HasShuffle;

int CMP3Transport::SongNumberAt(int nIndex, int nPlayMode) const {
    if (nIndex < 0 || nIndex >= Count()) return kNoSong;
    if (!HasShuffle(nPlayMode)) return nIndex + 1;
    // The order may be older than the list; a slot past either names nothing.
    const std::vector<WORD>& order = m_playlist.m_shuffleOrder;
    if (static_cast<size_t>(nIndex) >= order.size() || order[static_cast<size_t>(nIndex)] >= Count()) return kNoSong;
    return order[static_cast<size_t>(nIndex)] + 1;
}

void CMP3Transport::BeginPass(int nPlayMode) {
    m_bModeChanged = 0;
    m_nPassMode = nPlayMode;
}

int CMP3Transport::SettleAt(int nIndex, int nPlayMode) {
    m_nIndex = nIndex;
    const int nSong = SongNumberAt(nIndex, nPlayMode);
    if (nSong != kNoSong) m_nSongNumber = nSong;
    return nSong;
}

int CMP3Transport::ChooseForPlay(int nPlayMode, bool bResume) {
    DropFollowing();
    const bool bContinue = bResume && !m_bRestart && m_nIndex != kNoIndex;
    if (!bContinue) {
        m_bRestart = 0;
        if (HasShuffle(nPlayMode)) m_playlist.BuildShuffleOrder();
        m_nIndex = 0;
    }
    // A Previous on the first song leaves the index before the list.
    if (m_nIndex < 0) m_nIndex = 0;
    BeginPass(nPlayMode);
    int nSong = SettleAt(m_nIndex, nPlayMode);
    if (nSong != kNoSong) return nSong;
    if (HasShuffle(nPlayMode)) m_playlist.BuildShuffleOrder();
    return SettleAt(0, nPlayMode);
}

int CMP3Transport::Advance(int nPlayMode) {
    DropFollowing();
    const bool bLoop = HasLoop(nPlayMode);
    int nNext = m_nIndex + 1;
    if (!HasShuffle(m_nPassMode) && HasShuffle(nPlayMode)) {
        BeginPass(nPlayMode);
        m_playlist.BuildShuffleOrder();
        nNext = 0;
    } else if (HasShuffle(m_nPassMode) && !HasShuffle(nPlayMode)) {
        // Continue in list order after the song just played; before the first entry
        // (or at a slot the order lacks) nothing was played from the order.
        BeginPass(nPlayMode);
        const std::vector<WORD>& order = m_playlist.m_shuffleOrder;
        if (m_nIndex < 0) nNext = 0;
        else if (static_cast<size_t>(m_nIndex) < order.size()) nNext = order[static_cast<size_t>(m_nIndex)] + 1;
        else nNext = Count();
        if (nNext >= Count()) {
            if (!bLoop) return kNoSong;
            nNext = 0;
        }
    } else if (nNext >= Count()) {
        if (!bLoop) return kNoSong;
        nNext = 0;
        if (HasShuffle(nPlayMode)) m_playlist.BuildShuffleOrder();
    }
    if (nNext < 0) nNext = 0;
    return SettleAt(nNext, nPlayMode);
}

bool CMP3Transport::StepBack(int nPlayMode, int nElapsedSeconds) {
    // Shuffle switched on during the pass: the new order starts at the next end of song.
    if (!HasShuffle(m_nPassMode) && HasShuffle(nPlayMode)) return false;
    if (m_nIndex == 0) m_nIndex = kNoIndex;
    else if (m_nIndex > 0) m_nIndex -= nElapsedSeconds < kRestartSeconds ? 2 : 1;
    return true;
}

bool CMP3Transport::CanStepForward(int nPlayMode) const {
    return m_nIndex + 1 < Count() || HasLoop(nPlayMode);
}

int CMP3Transport::Select(int nEntry, bool bPlaying, int nPlayMode) {
    if (nEntry < 0 || nEntry >= Count()) return kNoSong;
    DropFollowing();
    // The choice is made in list order: a pass that was shuffled ends here, so the end
    // of song plays the entry chosen and not one the old order points at.
    BeginPass(nPlayMode);
    if (bPlaying) {
        m_nIndex = nEntry - 1;
        return kNoSong;
    }
    m_nIndex = nEntry;
    m_nSongNumber = nEntry + 1;
    return m_nSongNumber;
}

void CMP3Transport::ModeChanging(int nOldMode, bool bPlaying, bool bResume) {
    if (bPlaying && !m_bModeChanged) {
        m_bModeChanged = 1;
        m_nPassMode = nOldMode;
    }
    if (bResume) m_bRestart = 1;
}

void CMP3Transport::Stopped(int nPlayMode) {
    m_nState = kStopped;
    DropFollowing();
    BeginPass(nPlayMode);
}

int CMP3Transport::ChooseFollowing(int nPlayMode) {
    DropFollowing();
    // Advance would begin a new pass here, or draw a new order at the wrap.
    if (HasShuffle(m_nPassMode) != HasShuffle(nPlayMode)) return kNoSong;
    int nNext = std::max(m_nIndex + 1, 0);
    if (nNext >= Count()) {
        if (!HasLoop(nPlayMode) || HasShuffle(nPlayMode)) return kNoSong;
        nNext = 0;
    }
    const int nSong = SongNumberAt(nNext, nPlayMode);
    if (nSong == kNoSong) return kNoSong;
    m_nFollowingIndex = nNext;
    m_nFollowingSong = nSong;
    return nSong;
}

bool CMP3Transport::EnterFollowing() {
    if (m_nFollowingIndex == kNoIndex) return false;
    m_nIndex = m_nFollowingIndex;
    m_nSongNumber = m_nFollowingSong;
    DropFollowing();
    return true;
}

int CMP3Transport::SeekStep(int nPosition, bool bForward, int nLength) {
    if (!bForward) return nPosition > 0 ? nPosition - 1 : 0;
    return nPosition < nLength ? nPosition + 1 : nPosition;
}
