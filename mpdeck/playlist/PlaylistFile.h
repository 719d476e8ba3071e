// The playlist INI file, "<program base name>.ini": an index section of playlist
// names and one section per playlist, named after the playlist.
#pragma once

#include "IniFile.h"

// Section and keys of the index, and the value a missing name key reads as.
extern const char kIndexSection[];
extern const char kTotalKey[];
extern const char kPlayModeKey[];
extern const char kUntitled[];

// Counts read from the file are capped here, so that a damaged "Total" cannot make a
// load run for hours; the 16-bit shuffle order indexes at most this many entries.
constexpr int kMaxSongs = 65536;
constexpr int kMaxPlaylists = 65536;

class CPlaylistFile : public CIniFile {
public:
    CPlaylistFile();

    static CString FileName();

    // "Total" of the section, as a count of at most nMax.
    int ReadTotal(LPCSTR lpszSection, int nMax) const { return ReadCount(lpszSection, kTotalKey, nMax); }
};
