// CSongEntry: one song of a playlist, and the list that owns the entries.
#pragma once

#include "fw/Framework.h"

#include <memory>
#include <vector>

enum SongType : BYTE {
    SONG_UNKNOWN = 0,
    SONG_WAVE = 1,
    SONG_MPEG = 2,
};

class CSongEntry {
public:
    CSongEntry() = default;
    CSongEntry(LPCSTR lpszPath, BYTE nType);
    CSongEntry(const CSongEntry&) = default;
    CSongEntry& operator=(const CSongEntry&) = default;
    virtual ~CSongEntry() = default;

    // "WAVE", "MPEG", or "???" for anything else.
    static LPCSTR TypeText(BYTE nType);

    DWORD m_dwSize = 0;          // WAVE: audio data in bytes
    LONG m_nLength = 0;          // whole seconds, 0 until measured
    DWORD m_dwBitsPerSample = 0;
    DWORD m_dwSamplesPerSec = 0;
    DWORD m_dwChannels = 0;
    DWORD m_dwAvgBytesPerSec = 0;
    BYTE m_nType = SONG_UNKNOWN;
    CString m_strPath;
    // The song's tag texts, read once when a page first shows the entry.
    BOOL m_bTagRead = FALSE;
    CString m_strTagTitle;
    CString m_strTagArtist;
    CString m_strListTitle;  // the title a list of another program gave the song
};

// The entries in list order. The list owns them: removing one deletes it.
class CSongList {
public:
    CSongList() = default;
    CSongList(const CSongList&) = delete;
    CSongList& operator=(const CSongList&) = delete;

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    CSongEntry* GetAt(int nIndex) const;
    // Takes ownership of pEntry.
    void AddTail(CSongEntry* pEntry);
    // Takes ownership of pEntry; an index past the end appends.
    void InsertAt(int nIndex, CSongEntry* pEntry);
    void RemoveAt(int nIndex);
    void RemoveAll() { m_entries.clear(); }
    // The entries in a new order: order[i] is the index of the entry that comes i-th.
    // FALSE, and nothing changes, unless order is a permutation of the indexes.
    BOOL Reorder(const std::vector<int>& order);

private:
    std::vector<std::unique_ptr<CSongEntry>> m_entries;
};
