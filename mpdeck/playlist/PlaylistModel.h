// CPlaylistModel: the current playlist of mpdeck. The application object derives from
// it and supplies the play mode (held by the player's display) and the measuring of
// entries (done by the player window's devices).
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "PlaylistFile.h"
#include "SongEntry.h"

class CPlaylistModel {
public:
    CPlaylistModel() = default;
    CPlaylistModel(const CPlaylistModel&) = delete;
    CPlaylistModel& operator=(const CPlaylistModel&) = delete;
    virtual ~CPlaylistModel() = default;

    // Replaces the list with the section m_strPlaylistName and takes its play mode.
    // Missing files are offered for removal one by one.
    void LoadPlaylist();
    // Writes the list and the play mode into the section m_strPlaylistName.
    void SavePlaylist();
    // A fresh random permutation of the entry indexes.
    void BuildShuffleOrder();
    // Appends one entry typed by its extension; the play mode becomes 1.
    void LoadSingleFile(LPCSTR lpszPath);

    virtual int GetPlayMode() = 0;
    virtual void SetPlayMode(int nMode) = 0;
    // Fills lengths and WAVE details of every entry.
    virtual void MeasurePlaylist() = 0;

    CString m_strPlaylistName;  // also the section name in the playlist file
    int m_bPlaylistModified = 0;
    CSongList m_songList;
    std::vector<WORD> m_shuffleOrder;

private:
    // FALSE when loading is to stop (Cancel).
    BOOL AddLoadedEntry(const CString& strValue, BOOL& bDropped);
};

// The running program's playlist; nullptr when the application object has none.
CPlaylistModel* GetPlaylistModel();
