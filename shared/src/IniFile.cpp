#include "IniFile.h"

#include <cstring>
#include <string>
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

// The number a key names when its text is that number as "%d" writes it; 0 otherwise.
int ExactNumber(const std::string& strKey) {
    const int nKey = NumberedKey(strKey.c_str());
    return nKey > 0 && std::to_string(nKey) == strKey ? nKey : 0;
}

std::string Trimmed(const std::string& strText) {
    const size_t nFirst = strText.find_first_not_of(" \t");
    if (nFirst == std::string::npos) return std::string();
    return strText.substr(nFirst, strText.find_last_not_of(" \t") - nFirst + 1);
}

// A value of a section line as the string reader gives it: trimmed, one pair of like
// quotes dropped, cut to the reader's buffer.
CString ProfileValue(const char* pszRaw) {
    std::string strValue = Trimmed(pszRaw);
    const size_t nLength = strValue.size();
    if (nLength >= 2 && (strValue[0] == '"' || strValue[0] == '\'') && strValue[nLength - 1] == strValue[0]) {
        strValue = strValue.substr(1, nLength - 2);
    }
    if (strValue.size() >= kValueBufferSize) strValue.resize(kValueBufferSize - 1);
    return CString(strValue.c_str());
}

// A list of strings, each ended by a zero and the list by another, that grows with
// the section; read says how much it used, and two less than the size when cut.
template <typename Read>
std::vector<char> ReadList(Read read) {
    constexpr DWORD kMaxListSize = 16u << 20;
    std::vector<char> list;
    DWORD dwSize = 64u << 10;
    for (;;) {
        list.assign(dwSize, '\0');
        const DWORD dwUsed = read(list.data(), dwSize);
        if (dwUsed + 2 < dwSize || dwSize >= kMaxListSize) break;
        dwSize *= 2;
    }
    list[dwSize - 2] = '\0';
    list[dwSize - 1] = '\0';
    return list;
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
    const std::vector<char> keys = ReadList([&](char* pBuffer, DWORD dwSize) {
        return ::GetPrivateProfileStringA(lpszSection, nullptr, "", pBuffer, dwSize, m_strFileName);
    });
    int nHighest = 0;
    for (const char* pKey = keys.data(); *pKey; pKey += std::strlen(pKey) + 1) {
        const int nKey = NumberedKey(pKey);
        if (nKey > nHighest) nHighest = nKey;
    }
    return nHighest;
}

std::vector<CString> CIniFile::ReadNumberedValues(LPCSTR lpszSection, int nCount, LPCSTR lpszDefault) const {
    const size_t nValues = nCount > 0 ? static_cast<size_t>(nCount) : 0;
    std::vector<CString> values(nValues, CString(lpszDefault));
    std::vector<bool> found(nValues, false);
    const std::vector<char> lines = ReadList([&](char* pBuffer, DWORD dwSize) {
        return ::GetPrivateProfileSectionA(lpszSection, pBuffer, dwSize, m_strFileName);
    });
    for (const char* pLine = lines.data(); *pLine; pLine += std::strlen(pLine) + 1) {
        const char* pEqual = std::strchr(pLine, '=');
        if (!pEqual) continue;
        const size_t nKey = static_cast<size_t>(ExactNumber(Trimmed(std::string(pLine, pEqual))));
        // The profile function answers a key with its first line.
        if (nKey < 1 || nKey > nValues || found[nKey - 1]) continue;
        found[nKey - 1] = true;
        values[nKey - 1] = ProfileValue(pEqual + 1);
    }
    return values;
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
