// CPlaylistModel: the current playlist of mpdeck, held by the application object. It
// knows no window: whoever loads a list measures its entries afterwards and hands
// the play mode that came with it to the player's display.
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "PlaylistFile.h"
#include "SongEntry.h"

// The play mode of a list without one: neither loop nor shuffle.
constexpr int kPlainPlayMode = 1;

class CPlaylistModel {
public:
    CPlaylistModel() = default;
    CPlaylistModel(const CPlaylistModel&) = delete;
    CPlaylistModel& operator=(const CPlaylistModel&) = delete;

    // Replaces the list with the section m_strPlaylistName; m_nPlayMode becomes the
    // section's play mode. Missing files are offered for removal one by one.
    void LoadPlaylist();
    // Writes the list and the given play mode into the section m_strPlaylistName.
    void SavePlaylist(int nPlayMode);
    // A fresh random permutation of the entry indexes.
    void BuildShuffleOrder();
    // Appends one entry typed by its extension; m_nPlayMode becomes plain.
    void LoadSingleFile(LPCSTR lpszPath);

    CString m_strPlaylistName;  // also the section name in the playlist file
    int m_bPlaylistModified = 0;
    CSongList m_songList;
    std::vector<WORD> m_shuffleOrder;
    // The play mode that came with the list at its last load or save. The display
    // holds the mode in use; this is what a loader passes on to it.
    int m_nPlayMode = kPlainPlayMode;

private:
    // FALSE when loading is to stop (Cancel).
    BOOL AddLoadedEntry(const CString& strValue, BOOL& bDropped);
    // "Total", but no further than the keys that are there.
    int ExistingCount(const CPlaylistFile& file) const;
};
