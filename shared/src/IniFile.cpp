#include "IniFile.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kValueBufferSize = 1024;

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

CString CIniFile::NumberText(int nValue) {
    CString strText;
    strText.Format("%d", nValue);
    return strText;
}

int CIniFile::ReadInt(LPCSTR lpszSection, LPCSTR lpszKey, int nDefault) const {
    return static_cast<int>(::GetPrivateProfileIntA(lpszSection, lpszKey, nDefault, m_strFileName));
}

CString CIniFile::ReadString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszDefault) const {
    char buffer[kValueBufferSize] = {};
    ::GetPrivateProfileStringA(lpszSection, lpszKey, lpszDefault, buffer, kValueBufferSize, m_strFileName);
    return CString(buffer);
}

BOOL CIniFile::HasSection(LPCSTR lpszSection) const {
    // The key names, each ended by a NUL; none gives an empty list.
    char buffer[kValueBufferSize] = {};
    return ::GetPrivateProfileStringA(lpszSection, nullptr, "", buffer, kValueBufferSize, m_strFileName) > 0;
}

int CIniFile::ReadCount(LPCSTR lpszSection, LPCSTR lpszKey, int nMax) const {
    const int nCount = ReadInt(lpszSection, lpszKey, 0);
    if (nCount <= 0) return 0;
    return nCount > nMax ? nMax : nCount;
}

int CIniFile::HighestNumberedKey(LPCSTR lpszSection) const {
    // The key list grows with the section; the profile function says when it was cut.
    constexpr DWORD kMaxListSize = 16u << 20;
    std::vector<char> keys;
    DWORD dwSize = 64u << 10;
    for (;;) {
        keys.assign(dwSize, '\0');
        const DWORD dwUsed = ::GetPrivateProfileStringA(lpszSection, nullptr, "", keys.data(), dwSize, m_strFileName);
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

void CIniFile::WriteInt(LPCSTR lpszSection, LPCSTR lpszKey, int nValue) const {
    WriteString(lpszSection, lpszKey, NumberText(nValue));
}

namespace {

// The profile reader drops one pair of like quotes around a value, so a value with
// its own pair gets one more; values written before this read back as they did.
CString StoredValue(LPCSTR lpszValue) {
    const size_t nLength = std::strlen(lpszValue);
    const char chFirst = lpszValue[0];
    const bool bQuoted = nLength >= 2 && (chFirst == '"' || chFirst == '\'') && lpszValue[nLength - 1] == chFirst;
    return bQuoted ? "\"" + CString(lpszValue) + "\"" : CString(lpszValue);
}

}  // namespace

void CIniFile::WriteString(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszValue) const {
    if (!lpszValue) {
        DeleteKey(lpszSection, lpszKey);
        return;
    }
    ::WritePrivateProfileStringA(lpszSection, lpszKey, StoredValue(lpszValue), m_strFileName);
}

void CIniFile::DeleteKey(LPCSTR lpszSection, LPCSTR lpszKey) const {
    ::WritePrivateProfileStringA(lpszSection, lpszKey, nullptr, m_strFileName);
}

void CIniFile::DeleteSection(LPCSTR lpszSection) const {
    ::WritePrivateProfileStringA(lpszSection, nullptr, nullptr, m_strFileName);
}

CString CIniFile::ReadNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszDefault) const {
    return ReadString(lpszSection, NumberText(nKey), lpszDefault);
}

void CIniFile::WriteNumbered(LPCSTR lpszSection, int nKey, LPCSTR lpszValue) const {
    WriteString(lpszSection, NumberText(nKey), lpszValue);
}

void CIniFile::DeleteNumbered(LPCSTR lpszSection, int nKey) const {
    DeleteKey(lpszSection, NumberText(nKey));
}
