// M3U, M3U8 and PLS files on disk: the songs of a list another program wrote, and
// the current list written as M3U8 for other programs.
#pragma once

#include "fw/Framework.h"

#include <vector>

struct ListSong {
    CString strPath;
    CString strTitle;   // the list's title for the song; empty when it gives none
    LONG nSeconds = -1; // -1 when unknown
};

// TRUE for a name ending in .m3u, .m3u8 or .pls.
BOOL IsListFile(LPCSTR lpszPath);

// The songs of the list that exist as files, in list order; nMissing counts those
// that do not. FALSE when the list cannot be read.
BOOL ReadListFile(LPCSTR lpszPath, std::vector<ListSong>& songs, int& nMissing);

// Writes the songs as M3U8 (UTF-8), paths under the list's folder relative. The file
// is put in place only when it is complete; a failure leaves any old file as it was.
BOOL WriteM3u8File(LPCSTR lpszPath, const std::vector<ListSong>& songs);
