// The playlist INI file: an index section of playlist names and one section per
// playlist, read and written with the private-profile functions under the bare file
// name (so it lives in the Windows directory).
#pragma once

#include "fw/Framework.h"

// Section and keys of the index, and the value a missing name key reads as.
extern const char kIndexSection[];
extern const char kTotalKey[];
extern const char kPlayModeKey[];
extern const char kUntitled[];

// Counts read from the file are capped here, so that a damaged "Total" cannot make a
// load run for hours; the 16-bit shuffle order indexes at most this many entries.
constexpr int kMaxSongs = 65536;
constexpr int kMaxPlaylists = 65536;

class CPlaylistFile {
public:
    // "<program base name>.ini".
    static CString FileName();

    // Missing keys read as the default; a negative or damaged count reads as 0.
    static int ReadCount(LPCSTR lpszSection, int nMax);
    // The largest key made only of digits; 0 when there is none. Keys beyond it read
    // as missing, so a walk over 1 ... N can stop there.
    static int HighestNumberedKey(LPCSTR lpszSection);
    static int ReadInt(LPCSTR lpszSection, LPCSTR lpszKey, int nDefault);
    static CString ReadString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszDefault);
    static CString ReadNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszDefault);

    static void WriteInt(LPCSTR lpszSection, LPCSTR lpszKey, int nValue);
    static void WriteString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszValue);
    static void WriteNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszValue);
    static void DeleteNumbered(LPCSTR lpszSection, int nKey);
    static void DeleteSection(LPCSTR lpszSection);
};
