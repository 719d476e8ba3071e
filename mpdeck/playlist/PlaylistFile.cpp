#include "PlaylistFile.h"

#include <cstring>
#include <vector>

const char kIndexSection[] = "Playlist";
const char kTotalKey[] = "Total";
const char kPlayModeKey[] = "PlayMode";
const char kUntitled[] = "Untitled";

namespace {

// Every string value is read into a buffer of this size.
constexpr DWORD kValueBufferSize = 1024;

CString KeyName(int nKey) {
    CString strKey;
    strKey.Format("%d", nKey);
    return strKey;
}

// The number a key of digits names (capped), or 0 for any other key.
int NumberedKey(const char* pszKey) {
    constexpr int kCap = 1 << 30;
    int nValue = 0;
    for (const char* p = pszKey; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        nValue = nValue * 10 + (*p - '0');
        if (nValue > kCap) nValue = kCap;
    }
    return nValue;
}

}  // namespace

CString CPlaylistFile::FileName() {
    CString strFile;
    strFile.Format("%s.ini", AfxGetApp()->m_strExeName.GetString());
    return strFile;
}

int CPlaylistFile::ReadCount(LPCSTR lpszSection, int nMax) {
    const int nCount = ReadInt(lpszSection, kTotalKey, 0);
    if (nCount <= 0) return 0;
    return nCount > nMax ? nMax : nCount;
}

int CPlaylistFile::HighestNumberedKey(LPCSTR lpszSection) {
    // The key list grows with the section; the profile function says when it was cut.
    constexpr DWORD kMaxListSize = 16u << 20;
    std::vector<char> keys;
    DWORD dwSize = 64u << 10;
    for (;;) {
        keys.assign(dwSize, '\0');
        const DWORD dwUsed = ::GetPrivateProfileStringA(lpszSection, nullptr, "", keys.data(), dwSize, FileName());
        if (dwUsed + 2 < dwSize || dwSize >= kMaxListSize) break;
        dwSize *= 2;
    }
    keys.back() = '\0';

    int nHighest = 0;
    for (const char* pKey = keys.data(); *pKey; pKey += std::strlen(pKey) + 1) {
        const int nKey = NumberedKey(pKey);
        if (nKey > nHighest) nHighest = nKey;
    }
    return nHighest;
}

int CPlaylistFile::ReadInt(LPCSTR lpszSection, LPCSTR lpszKey, int nDefault) {
    return static_cast<int>(::GetPrivateProfileIntA(lpszSection, lpszKey, nDefault, FileName()));
}

CString CPlaylistFile::ReadString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszDefault) {
    char buffer[kValueBufferSize] = {};
    ::GetPrivateProfileStringA(lpszSection, lpszKey, lpszDefault, buffer, kValueBufferSize, FileName());
    return CString(buffer);
}

CString CPlaylistFile::ReadNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszDefault) {
    return ReadString(lpszSection, KeyName(nKey), lpszDefault);
}

void CPlaylistFile::WriteInt(LPCSTR lpszSection, LPCSTR lpszKey, int nValue) {
    WriteString(lpszSection, lpszKey, KeyName(nValue));
}

void CPlaylistFile::WriteString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszValue) {
    ::WritePrivateProfileStringA(lpszSection, lpszKey, lpszValue, FileName());
}

void CPlaylistFile::WriteNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszValue) {
    WriteString(lpszSection, KeyName(nKey), lpszValue);
}

void CPlaylistFile::DeleteNumbered(LPCSTR lpszSection, int nKey) {
    WriteString(lpszSection, KeyName(nKey), nullptr);
}

void CPlaylistFile::DeleteSection(LPCSTR lpszSection) {
    ::WritePrivateProfileStringA(lpszSection, nullptr, nullptr, FileName());
}
