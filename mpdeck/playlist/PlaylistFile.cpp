#include "PlaylistFile.h"

const char kIndexSection[] = "Playlist";
const char kTotalKey[] = "Total";
const char kPlayModeKey[] = "PlayMode";
const char kUntitled[] = "Untitled";

CPlaylistFile::CPlaylistFile() : CIniFile(FileName()) {}

CString CPlaylistFile::FileName() {
    CString strFile;
    strFile.Format("%s.ini", AfxGetApp()->m_strExeName.GetString());
    return strFile;
}
